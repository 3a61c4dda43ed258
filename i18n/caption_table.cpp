#include "caption_table.h"

#include <QStringList>

namespace i18n {

namespace {

// One row as written: the texts, then the controls that receive them as
// "Window: Control, Control; Window: Control". Literals may be split anywhere;
// spaces around names are ignored.
struct RawRow
{
    Texts texts;
    const char *controls;
};

// Every row of the switch, in three languages. "@caption" is WindowCaption, the
// scan window's own title.
// clang-format off
constexpr RawRow RawRows[] = {
    {{"Scan", "掃描", "扫描"},
     "TForm3: @caption"},
    {{"Press Start", "請按開始", "请按开始"},
     "TForm3: Label5"},
    {{"File", "檔案&", "文件&"},
     "TForm3: File; TForm1: File1; TForm2: File1; TForm4: File1; TForm10: File1"},
    {{"Exit", "離開&", "离开&"},
     "TForm3: Exit; TForm1: Exit1; TForm2: Exit1; TForm4: Exit1; TForm10: Exit1"},
    {{"Open Configuration...", "開啟設定檔...", "打开设定档..."},
     "TForm1: OpenConfiguration; TForm2: OpenConfiguration; TForm4: OpenConfiguration; "
     "TForm10: OpenConfiguration; TForm5: OpenConfiguration; TForm7: OpenConfiguration"},
    {{"Save Configuration...", "儲存設定檔...", "保存设定档..."},
     "TForm1: SaveConfiguration; TForm2: SaveConfiguration; TForm4: SaveConfiguration; "
     "TForm10: SaveConfiguration; TForm5: SaveConfiguration; TForm7: SaveConfiguration"},
    {{"Save Live Log...", "儲存量測記錄...", "保存量测记录..."},
     "TForm1: SaveLiveLog; TForm2: SaveLiveLog; TForm4: SaveLiveLog; TForm10: SaveLiveLog; "
     "TForm5: SaveLiveLog; TForm7: SaveLiveLog"},
    {{"Save Report...", "儲存設定校正紀錄...", "保存设定校正记录..."},
     "TForm1: SaveReport; TForm2: SaveReport; TForm4: SaveReport; TForm10: SaveReport; "
     "TForm5: SaveReport; TForm7: SaveReport"},
    {{"Line Traffic...", "通訊監視...", "通讯监视..."},
     "TForm3: Traffic; TForm1: Traffic; TForm2: Traffic; TForm4: Traffic; TForm10: Traffic; "
     "TForm5: Traffic; TForm7: Traffic"},
    {{"Language", "語言&", "语言&"},
     "TForm3: Language; TForm1: Language; TForm2: Language; TForm4: Language; TForm10: Language; "
     "TForm5: Language; TForm7: Language"},
    {{"Help", "說明&", "帮助&"},
     "TForm3: About; TForm1: Help; TForm2: Help"},
    {{"Start", "開始", "开始"},
     "TForm3: Button1"},
    {{"Conents", "軟體說明&", "软件说明"},
     "TForm3: Conents"},
    {{"Configuration", "設定", "设定"},
     "TForm1: Configuration; TForm2: Configuration; TForm4: Configuration; "
     "TForm10: Configuration; TForm5: Configuration; TForm7: Configuration"},
    {{"Input Signal Type", "輸入訊號", "输入讯号"},
     "TForm1: Item1; TForm2: Item1; TForm5: Item1, RadioGroup1"},
    {{"Measuring Range", "量測範圍", "量测范围"},
     "TForm1: Item2, GroupBox11; TForm2: Item2; TForm4: Item2; TForm10: Item2; "
     "TForm5: Item2, GroupBox9; TForm7: Item_3, Item_9"},
    {{"Unit", "單位", "单位"},
     "TForm1: Item3; TForm2: Item3; TForm5: Item3, RadioGroup2"},
    {{"Output Direction", "輸出方向", "输出方向"},
     "TForm1: Item4; TForm2: Item4; TForm4: Item3; TForm10: Item3; TForm5: Item4, RadioGroup3; "
     "TForm7: Item_2, Item_8"},
    {{"Fault Signal On Sensor Break", "開路限制", "开路限制"},
     "TForm1: Item5; TForm2: Item5; TForm4: Item4; TForm10: Item4; TForm5: Item5, RadioGroup4; "
     "TForm7: Item_4, Item_10"},
    {{"Offset Correction", "偏差校正", "偏差校正"},
     "TForm1: Item6; TForm2: Item6; TForm4: GroupBox2; TForm10: GroupBox2; "
     "TForm5: GroupBox11, GroupBox25; TForm7: Item_5, Item_11"},
    {{"Output-1                   0/4~20 mA Output Signal Adjustment",
      "第一組                     0/4~20mA輸出訊號調整",
      "第一组                     0/4~20mA输出讯号调整"},
     "TForm1: GroupBox7"},
    {{"Output-2                   0/4~20 mA Output Signal Adjustment",
      "第二組                     0/4~20mA輸出訊號調整",
      "第二组                     0/4~20mA输出讯号调整"},
     "TForm1: GroupBox9"},
    {{"Output Function", "輸出功能", "输出功能"},
     "TForm1: calculate"},
    {{"ID and BaudRate", "位址與鮑率", "位址与鲍率"},
     "TForm1: GroupBox15"},
    {{"Measuring Value", "量測值", "量测值"},
     "TForm1: Item7, GroupBox5, GroupBox23; TForm2: Item7, GroupBox5; TForm4: Item7; "
     "TForm10: Item7; TForm5: Item7, GroupBox5; TForm7: Item_15, GroupBox5"},
    {{"Device Information", "裝置資訊", "装置资讯"},
     "TForm1: Item8; TForm2: Item8; TForm4: Item8; TForm10: Item8; TForm5: Item8; TForm7: Item_14"},
    {{"Read From Device", "讀出", "读出"},
     "TForm1: BtnP1; TForm2: BtnP1; TForm4: BtnP1; TForm10: BtnP1; TForm5: BtnP1; TForm7: BtnP1"},
    {{"Write To Device", "寫入", "写入"},
     "TForm1: BtnP2; TForm2: BtnP2; TForm4: BtnP2; TForm10: BtnP2; TForm5: BtnP2; TForm7: BtnP2"},
    {{"Device    :", "裝置名稱    :", "装置名称    :"},
     "TForm1: Lab81; TForm2: Lab81; TForm4: Lab81; TForm10: Lab81; TForm5: Lab81; TForm7: Lab81"},
    {{"Serial No :", "序號        :", "序号        :"},
     "TForm1: Lab82; TForm2: Lab82; TForm4: Lab82; TForm10: Lab82; TForm5: Lab82; TForm7: Lab82"},
    {{"Lower Limit", "低點", "低点"},
     "TForm1: Lab21, Label16; TForm2: Lab21; TForm4: Lab21; TForm10: Lab21; "
     "TForm5: Lab21, Label32; TForm7: Lab21, Label11"},
    {{"Upper Limit", "高點", "高点"},
     "TForm1: Lab22, Label17; TForm2: Lab22; TForm4: Lab22; TForm10: Lab22; "
     "TForm5: Lab22, Label35; TForm7: Lab22, Label15"},
    {{"Maximal Measuring Range", "最大量測範圍", "最大量测范围"},
     "TForm1: Lab23; TForm2: Lab23; TForm5: Lab23, Label36; TForm7: Lab23, Label18"},
    {{"Read", "讀取", "读取"},
     "TForm1: Btn71, Btn51, Button26; TForm2: Btn71, Btn51; TForm5: Btn71, Btn81; "
     "TForm7: Btn11, Btn21"},
    {{"Stop", "停止", "停止"},
     "TForm1: Btn72, Btn52, Button27; TForm2: Btn72, Btn52; TForm4: Btn72; TForm10: Btn72; "
     "TForm5: Btn72, Btn82; TForm7: Btn12, Btn22"},
    {{"Scan", "掃描&", "扫描&"},
     "TForm1: Scan; TForm2: Scan; TForm4: Scan; TForm10: Scan"},
    {{"Start", "開始&", "开始&"},
     "TForm1: Start; TForm2: Start; TForm4: Start; TForm10: Start"},
    {{"Set", "設定", "设定"},
     "TForm1: IDSet"},
    {{"RTD calibration", "RTD 校正", "RTD 校正"},
     "TForm1: GroupBox1, GroupBox13; TForm5: GroupBox1, GroupBox13"},
    {{"0mV  calibration", "0mV  校正", "0mV  校正"},
     "TForm1: GroupBox8, GroupBox17; TForm5: GroupBox8, GroupBox17"},
    {{"T/C calibration", "T/C 校正", "T/C 校正"},
     "TForm1: GroupBox3, GroupBox18; TForm5: GroupBox18, GroupBox3"},
    {{"Voltage calibration", "電壓校正", "电压校正"},
     "TForm1: GroupBox2; TForm5: GroupBox4, GroupBox2"},
    {{"Current calibration", "電流校正", "电流校正"},
     "TForm1: GroupBox10; TForm5: GroupBox12, GroupBox14"},
    {{"Output-1 0/4~20mA Output Signal Adjustment",
      "第一組  0/4~20mA輸出訊號調整",
      "第一组  0/4~20mA输出讯号调整"},
     "TForm1: GroupBox4"},
    {{"Output-2 0/4~20mA Output Signal Adjustment",
      "第二組  0/4~20mA輸出訊號調整",
      "第二组  0/4~20mA输出讯号调整"},
     "TForm1: GroupBox12"},
    {{"Serial Number", "序號", "序号"},
     "TForm1: GroupBox6; TForm2: GroupBox6"},
    {{"Cablibration(1)", "校正(1)", "校正(1)"},
     "TForm1: TabSheet1"},
    {{"Cablibration(2)", "校正(2)", "校正(2)"},
     "TForm1: TabSheet2"},
    {{"LO", "低點", "低点"},
     "TForm1: Lab_11, Lab_31, Label18, Label41, Lab_21, Label27; "
     "TForm2: Lab_11, Lab_21, Lab_31, Label27"},
    {{"Hi", "高點", "高点"},
     "TForm1: Lab_12, Lab_32, Label20, Label42, Lab_22, Label28; "
     "TForm2: Lab_12, Lab_22, Lab_32, Label28"},
    {{"Start", "校正", "校正"},
     "TForm1: Btn11, Btn12, Btn31, Btn32, Button2, Button4, Button5, Button22, Button23, "
         "Button20, Btn21, Btn22, Button8, Button13, Button9, Button10, Button16, Button17; "
     "TForm2: Btn11, Btn12, Btn21, Btn22, Btn31, Btn32, Button9, Button10, Button2; "
     "TForm5: Btn11, Btn12, Btn41, Btn42, Btn21, Btn51, Btn31, Btn32, Btn61, Btn62, Btn91, Btn92, "
         "Btnb1, Btnb2, Btna1, Btna2, Btnc1, Btnc2; "
     "TForm7: Btn_11, Btn_21, Btn_22, Btn_23, Btn_24, Btn_25, Btn_26, Btn_61, Btn_63, Btn_33, "
         "Btn_41, Btn_42, Btn_43, Btn_44, Btn_45, Btn_46, Btn_71, Btn_73"},
    {{"Done", "完成", "完成"},
     "TForm1: Btn13, Btn14, Btn33, Btn34, Button3, Button6, Button7, Button24, Button25, "
         "Button21, Btn23, Btn24, Button14, Button15, Button11, Button12, Button18, Button19; "
     "TForm2: Btn13, Btn14, Btn23, Btn24, Btn33, Btn34, Button11, Button12, Button3; "
     "TForm4: Button5, Button7, Btn_6, Btn_7, Btn_8, Btn_9, Btn_a; "
     "TForm10: Button5, Button7, Btn_6, Btn_7, Btn_8, Btn_9, Btn_a; "
     "TForm5: Btn13, Btn14, Btn43, Btn44, Btn22, Btn52, Btn33, Btn34, Btn63, Btn64, Btn93, Btn94, "
         "Btnb3, Btnb4, Btna3, Btna4, Btnc3, Btnc4; "
     "TForm7: Btn_27, Btn_28, Btn_29, Btn_30, Btn_31, Btn_32, Btn_62, Btn_64, Btn_47, Btn_48, "
         "Btn_49, Btn_50, Btn_51, Btn_52, Btn_72, Btn_74"},
    {{"Load Serial Number", "寫入序號", "写入序号"},
     "TForm1: Button1; TForm2: Button1"},
    {{"Output1:", "輸出1:", "输出1:"},
     "TForm1: Label35"},
    {{"Output2: PV2", "輸出2:   PV2", "输出2:   PV2"},
     "TForm1: Label36"},
    {{"PV1 Offset", "PV1 偏差值", "PV1 偏差值"},
     "TForm1: Label7; TForm5: Label17; TForm7: Label17"},
    {{"PV2 Offset", "PV2 偏差值", "PV2 偏差值"},
     "TForm1: Label8; TForm5: Label63; TForm7: Label28"},
    {{"Conents", "軟體說明&", "软件说明&"},
     "TForm1: Conents; TForm2: Conents"},
    {{" 4~20mA Output Signal Adjustment", "4~20mA輸出訊號調整", "4~20mA输出讯号调整"},
     "TForm2: GroupBox7"},
    {{"RTD Calibration", "RTD 校正", "RTD 校正"},
     "TForm2: GroupBox1"},
    {{"0mV Calibration", "0mV 校正", "0mV 校正"},
     "TForm2: GroupBox8"},
    {{"T/C Calibration", "T/C 校正", "T/C 校正"},
     "TForm2: GroupBox3"},
    {{"Voltage Calibration", "電壓校正", "电压校正"},
     "TForm2: GroupBox2"},
    {{"Current Calibration", "電流校正", "电流校正"},
     "TForm2: GroupBox10"},
    {{" 4~20mA Output Signal Adjustment", " 4~20mA 輸出訊號調整", " 4~20mA 输出讯号调整"},
     "TForm2: GroupBox4"},
    {{"Cablibration", "校正", "校正"},
     "TForm2: TabSheet1"},
    {{"Input Signal", "輸入訊號", "输入讯号"},
     "TForm4: Item1; TForm10: Item1"},
    {{"Zero Span Setting", " Span 設定", "Zero Span 设定"},
     "TForm4: Item5, GroupBox4"},
    {{"Set Span", "設定 SPan", "设定Zero"},
     "TForm4: Button4"},
    {{"Set Span", "設定 Span", "设定Span"},
     "TForm4: Button6; TForm10: Button6"},
    {{"Set Span", "設定Span0", "设定Zero"},
     "TForm4: Btn_1"},
    {{"Set Span", "設定Span1", "设定Span1"},
     "TForm4: Btn_2; TForm10: Btn_2"},
    {{"Set Span", "設定Span2", "设定Span2"},
     "TForm4: Btn_3; TForm10: Btn_3"},
    {{"Set Span", "設定Span3", "设定Span3"},
     "TForm4: Btn_4; TForm10: Btn_4"},
    {{"Set Span", "設定Span4", "设定Span4"},
     "TForm4: Btn_5; TForm10: Btn_5"},
    {{" 4~20mA Output Signal calibration", " 4~20mA 輸出訊號調整", " 4~20mA 输出讯号调整"},
     "TForm4: Item6; TForm10: Item6"},
    {{"Start", "讀取", "读取"},
     "TForm4: Btn71; TForm10: Btn71"},
    {{"Help", "軟體說明&", "帮助&"},
     "TForm4: Help; TForm10: Help"},
    {{"Zero Span Setting", "Zero Span 設定", "Zero Span 设定"},
     "TForm10: Item5, GroupBox4"},
    {{"Set Zero", "設定 Zero", "设定Zero"},
     "TForm10: Button4"},
    {{"Set Zero", "設定Zero", "设定Zero"},
     "TForm10: Btn_1"},
    {{"Calbration", "校正", "校正"},
     "TForm5: Calbration1; TForm7: Calbration1"},
    {{"           0/4~20 mA Output Signal Adjustment",
      "                     0/4~20mA輸出訊號調整",
      "           0/4~20mA输出讯号调整"},
     "TForm5: GroupBox24"},
    {{"ID And Baud Rate", "位址與鮑率", "位址与鲍率"},
     "TForm5: GroupBox15; TForm7: Item_13"},
    {{"           0/4~20 mA Output Signal Adjustment",
      "                     0/4~20mA輸出訊號調整",
      "          0/4~20mA输出讯号调整"},
     "TForm5: GroupBox26"},
    {{"LO calibrated", "低點", "低点"},
     "TForm5: Lab_11, Label18, Lab_31, Label41, Label1, Label29, Label7, Label55"},
    {{"HI calibrated", "高點", "高点"},
     "TForm5: Lab_12, Label20, Lab_32, Label42, Label2, Label30, Label8, Label61"},
    {{"Scan&", "掃描&", "扫描&"},
     "TForm5: Scan; TForm7: Scan"},
    {{"Start&", "開始&", "开始&"},
     "TForm5: Start; TForm7: Start"},
    {{"File&", "檔案&", "文件&"},
     "TForm5: File1; TForm7: File1"},
    {{"Exit&", "離開&", "离开&"},
     "TForm5: Exit1; TForm7: Exit1"},
    {{"Help&", "軟體說明&", "帮助&"},
     "TForm5: Help; TForm7: Help"},
    {{"Input Signal Type", "輸入訊號種類", "输入讯号"},
     "TForm7: Item_1, Item_7"},
    {{"           0/4~20 mA Output Signal Adjustment",
      "                     0/4~20mA輸出訊號調整",
      "                   0/4~20mA输出讯号调整"},
     "TForm7: Item_6, Item_12"},
};
// clang-format on

std::vector<CaptionTarget> parseControls(const char *controls)
{
    std::vector<CaptionTarget> targets;
    const QStringList groups = QString::fromLatin1(controls).split(QLatin1Char(';'));
    for (const QString &group : groups) {
        const qsizetype colon = group.indexOf(QLatin1Char(':'));
        const QString window = group.left(colon).trimmed();
        const QStringList names = group.mid(colon + 1).split(QLatin1Char(','));
        for (const QString &name : names)
            targets.push_back({window, name.trimmed()});
    }
    return targets;
}

std::vector<CaptionRow> buildTable()
{
    std::vector<CaptionRow> rows;
    rows.reserve(std::size(RawRows));
    for (const RawRow &raw : RawRows)
        rows.push_back({raw.texts, parseControls(raw.controls)});
    return rows;
}

} // namespace

const std::vector<CaptionRow> &captionTable()
{
    static const std::vector<CaptionRow> table = buildTable();
    return table;
}

} // namespace i18n
