#include "status_messages.h"

#include "status_label.h"

namespace i18n {

namespace {

const QColor Progress(0, 0, 255);
const QColor Success(0, 128, 0);
const QColor Failure(255, 0, 0);

} // namespace

Texts statusTexts(Status status)
{
    switch (status) {
    case Status::Transmission: return {"Transmission...", "傳輸中...", "传输中..."};
    case Status::ReadSuccess: return {"Read Success", "讀出成功", "读出成功"};
    case Status::ReadFail: return {"Read Fail", "讀出失敗", "读出失败"};
    case Status::WriteSuccess: return {"Write Success", "寫入成功", "写入成功"};
    case Status::WriteFail: return {"Write Fail", "寫入失敗", "写入失败"};
    case Status::WriteMemoryFail: return {"Write Memory Fail", "寫入Memory失敗", "写入Memory失败"};
    case Status::Scan: return {"Scan...", "掃描...", "扫描..."};
    case Status::CommunicationError: return {"Communication Error", "通訊錯誤", "通讯错误"};
    case Status::DeviceNotFound: return {"Device Not Found", "找不到裝置", "找不到装置"};
    }
    return {"", "", ""};
}

QString statusText(Status status, int langCode)
{
    return pickText(langCode, statusTexts(status));
}

QColor statusColor(Status status)
{
    switch (status) {
    case Status::Transmission:
    case Status::Scan: return Progress;
    case Status::ReadSuccess:
    case Status::WriteSuccess: return Success;
    case Status::ReadFail:
    case Status::WriteFail:
    case Status::WriteMemoryFail:
    case Status::CommunicationError:
    case Status::DeviceNotFound: return Failure;
    }
    return Failure;
}

void showStatus(StatusLabel &label, Status status, int langCode)
{
    label.setStatus(statusColor(status), statusText(status, langCode));
}

} // namespace i18n
