#include "advice_texts.h"

#include <array>
#include <cstddef>

namespace i18n {

namespace {
// In the order of Advice.
const std::array<Texts, 21> AdviceTable = {{
    // Texts of the configuration file commands. Details (file names, fields and
    // reasons) follow in English, as the register tables name the fields.
    // Busy
    {"Wait until the command under way has ended.", "請等待目前的通訊結束。",
     "请等待目前的通讯结束。"},
    // NotRead
    {"Configuration not saved: the page does not show a module's configuration yet. Press "
     "\"Read From Device\" first.",
     "設定未儲存：頁面尚未顯示裝置的設定，請先按「讀出」。",
     "设定未保存：页面尚未显示装置的设定，请先按“读出”。"},
    // NotSaved
    {"Configuration not saved:", "設定未儲存：", "设定未保存："},
    // NotOpened
    {"Configuration not opened:", "設定檔未開啟：", "设定档未打开："},
    // OtherFamily
    {"Configuration not opened: the file is of another family.",
     "設定檔未開啟：檔案屬於其他系列的裝置。", "设定档未打开：文件属于其他系列的装置。"},
    // Damaged
    {"Configuration not opened: the file is damaged.", "設定檔未開啟：檔案已損壞。",
     "设定档未打开：文件已损坏。"},
    // Opened
    {"Configuration opened. Nothing has been sent to the module: \"Write To Device\" writes it.",
     "設定檔已開啟，尚未傳送至裝置：按「寫入」寫入裝置。",
     "设定档已打开，尚未传送至装置：按“写入”写入装置。"},
    // Corrected
    {"Corrected by the field's own rule:", "已依欄位規則修正：", "已依栏位规则修正："},
    // NotOnModule
    {"Not on this module, left as it was:", "此裝置沒有，維持原值：", "此装置没有，维持原值："},
    // SettingsKept
    {"Address and baud rate left as they were.", "位址與鮑率維持原值。", "位址与鲍率维持原值。"},
    // OtherModel
    {"The file was saved from model code %1; this module has %2.",
     "檔案來自型號代碼 %1 的裝置；此裝置為 %2。", "文件来自型号代码 %1 的装置；此装置为 %2。"},
    // TakeSettings
    {"Take over the address and baud rate of the file as well?", "是否一併採用檔案中的位址與鮑率？",
     "是否一并采用文件中的位址与鲍率？"},
    // LineLost
    {"The adapter was lost (unplugged?) and its port could not be opened again. Use Scan > "
     "Start for a new scan.",
     "轉接器連線中斷（可能已被拔除），無法重新開啟其連接埠。請使用「掃描 > 開始」重新掃描。",
     "转接器连线中断（可能已被拔除），无法重新打开其连接埠。请使用“扫描 > 开始”重新扫描。"},
    // EmptyChoices
    {"Not written: a choice is empty because the module holds a code this page has no item for. "
     "Choose one:",
     "未寫入：裝置保存的代碼在此頁沒有對應的選項，選項為空白。請選擇：",
     "未写入：装置保存的代码在此页没有对应的选项，选项为空白。请选择："},
    // The restore could not read the module's own address and baud rate.
    // OwnSettingsUnread
    {"The module's own address and baud rate could not be read. It still answers at the "
     "address and rate the scan set (address %1, %2 baud).\n\"Write To Device\" leaves the "
     "address and baud rate out until \"Read From Device\" reads them or you set both fields.",
     "無法讀取裝置本身的位址與鮑率。裝置仍以掃描設定的位址 %1、%2 bps 回應。\n"
     "在「讀出」讀到它們或您設定這兩個欄位之前，「寫入」不會寫入位址與鮑率。",
     "无法读取装置本身的位址与鲍率。装置仍以扫描设定的位址 %1、%2 bps 回应。\n"
     "在“读出”读到它们或您设定这两个栏位之前，“写入”不会写入位址与鲍率。"},
    // OwnSettingsLeftOut
    {"Address and baud rate not written: the module's own could not be read. \"Read From "
     "Device\" tries again, or set both fields.",
     "位址與鮑率未寫入：無法讀取裝置本身的設定。請按「讀出」再試，或設定這兩個欄位。",
     "位址与鲍率未写入：无法读取装置本身的设定。请按“读出”再试，或设定这两个栏位。"},
    // ReportNotRead
    {"Report not saved: the page does not show a module's configuration yet. Press \"Read From "
     "Device\" first.",
     "紀錄未儲存：頁面尚未顯示裝置的設定，請先按「讀出」。",
     "记录未保存：页面尚未显示装置的设定，请先按“读出”。"},
    // ReportNotSaved
    {"Report not saved:", "紀錄未儲存：", "记录未保存："},
    // LogNotWritten
    {"Live log not written:", "量測記錄未寫入：", "量测记录未写入："},
    // The advisories on PT-100 on CH-1 with a thermocouple on CH-2: the module
    // cannot measure that pair, but the choice is the operator's. Every text
    // closes with a full-width exclamation mark.
    // Ch2CannotBeThermocouple
    {" CH-2 Signal Type Can Not Choose TC！", " CH-2 輸入訊號不可選 TC！",
     " CH-2 输入讯号不可选 TC！"},
    // Ch1CannotBePt100
    {" CH-1 Signal Type Can Not Choose PT-100！", " CH-1 輸入訊號不可選 PT-100！",
     " CH-1 输入讯号不可选 PT-100！"},
}};
} // namespace

const Texts &adviceTexts(Advice advice)
{
    return AdviceTable.at(static_cast<std::size_t>(advice));
}

QString adviceText(Advice advice, int langCode)
{
    return pickText(langCode, adviceTexts(advice));
}

} // namespace i18n
