#include "commissioning_record.h"

#include "combuf.h"
#include "device_settings.h"
#include "lang_text.h"

#include <QBuffer>
#include <QDateTime>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

namespace {
using i18n::Texts;

// clang-format off
const Texts Title = {"Commissioning Record", "設定校正紀錄", "设定校正记录"};
const Texts DateText = {"Date and time", "日期時間", "日期时间"};
const Texts ProgramText = {"Program version", "程式版本", "程序版本"};
const Texts FamilyText = {"Device", "裝置類別", "装置类别"};
const Texts ModelText = {"Model", "型號", "型号"};
const Texts VersionText = {"Version", "版本", "版本"};
const Texts SerialText = {"Serial No", "序號", "序号"};
const Texts AddressText = {"Address", "位址", "位址"};
const Texts BaudText = {"Baud rate", "鮑率", "鲍率"};
const Texts LastReadText = {"Last read", "最近一次讀出", "最近一次读出"};
const Texts LastWriteText = {"Last write", "最近一次寫入", "最近一次写入"};
const Texts NoneSinceActivation = {"none since activation", "啟動後未執行", "启动后未执行"};
const Texts ConfigurationText = {"Configuration", "設定", "设定"};
const Texts CalibrationText = {"Calibration and output trim since activation",
                               "啟動後的校正與輸出調整", "启动后的校正与输出调整"};
const Texts PointText = {"Point", "校正點", "校正点"};
const Texts ReferenceText = {"Reference", "參考值", "参考值"};
const Texts CountsText = {"Counts", "計數值", "计数值"};
const Texts CodeText = {"Code sent", "送出代碼", "送出代码"};
const Texts ResultText = {"Result", "結果", "结果"};
const Texts Accepted = {"accepted", "已接受", "已接受"};
const Texts Refused = {"refused", "被拒絕", "被拒绝"};
const Texts NotChecked = {"not checked", "未檢查", "未检查"};
const Texts NoCalibration = {"None since activation.", "啟動後未校正。", "启动后未校正。"};
const Texts CalibrationNotKept = {"Not recorded: the module was read from the command line.",
                                  "未記錄：由命令列讀出。", "未记录：由命令行读出。"};
const Texts FamilyNames[] = {
    {"Transmitter", "傳送器", "变送器"},
    {"Dual-input converter", "雙輸入轉換器", "双输入转换器"},
    {"Resistance transmitter", "電阻傳送器", "电阻变送器"},
    {"Universal distributor", "萬用隔離分配器", "万用隔离分配器"},
    {"V/mA range distributor", "V/mA 隔離分配器", "V/mA 隔离分配器"},
};
// clang-format on

const char *languageTag(int langCode)
{
    switch (i18n::effectiveLanguage(langCode)) {
    case lang::Traditional: return "zh-Hant";
    case lang::Simplified: return "zh-Hans";
    default: return "en";
    }
}

class Page
{
public:
    explicit Page(int langCode)
        : m_lang(langCode)
    {}

    QString text(const Texts &texts) const { return i18n::pickText(m_lang, texts); }
    static QString escaped(const std::string &text)
    {
        return QString::fromStdString(text).toHtmlEscaped();
    }

    void add(const QString &html) { m_html += html; }
    void row(const QStringList &cells, bool head = false)
    {
        m_html += "<tr>";
        for (int i = 0; i < cells.size(); ++i) {
            const char *tag = head || (i == 0 && cells.size() == 2) ? "th" : "td";
            m_html += QString("<%1>%2</%1>").arg(tag, cells[i]);
        }
        m_html += "</tr>\n";
    }
    void openTable(const char *name)
    {
        m_html += QString("<table class=\"%1\" border=\"1\" cellspacing=\"0\" cellpadding=\"4\">\n")
                      .arg(name);
    }
    void closeTable() { m_html += "</table>\n"; }
    const QString &html() const { return m_html; }

private:
    int m_lang;
    QString m_html;
};

QString verdictText(const Page &page, CalibrationStep::Verdict verdict)
{
    switch (verdict) {
    case CalibrationStep::Verdict::Accepted: return page.text(Accepted);
    case CalibrationStep::Verdict::Refused: return page.text(Refused);
    case CalibrationStep::Verdict::NotChecked: break;
    }
    return page.text(NotChecked);
}
} // namespace

std::string programVersion()
{
    return QUORELWIN_VERSION;
}

std::string recordDate()
{
    const QDateTime now = QDateTime::currentDateTime();
    return now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate).toStdString();
}

std::string recordHtml(const CommissioningRecord &record)
{
    Page page(record.langCode);
    const auto e = &Page::escaped;
    const std::string label = modelLabel(record.family, record.model);
    const std::string model = label.empty() ? std::to_string(record.model)
                                            : label + " (" + std::to_string(record.model) + ")";
    const QString title = page.text(Title) + " " + e(label.empty() ? model : label) + " " +
                          e(std::to_string(record.serial));

    page.add(QString("<!DOCTYPE html>\n<html lang=\"%1\">\n<head>\n<meta charset=\"utf-8\"/>\n"
                     "<title>%2</title>\n<style>\n"
                     "body { font-family: sans-serif; font-size: 10pt; }\n"
                     "table { border-collapse: collapse; margin-bottom: 12pt; }\n"
                     "th, td { border: 1px solid #808080; padding: 3px 6px; text-align: left; "
                     "vertical-align: top; }\n"
                     "th { background-color: #ececec; font-weight: normal; }\n"
                     "</style>\n</head>\n<body>\n<h1>%3</h1>\n")
                 .arg(languageTag(record.langCode), title, page.text(Title)));

    const int family = static_cast<int>(record.family);
    const QString none = page.text(NoneSinceActivation);
    page.openTable("module");
    page.row({page.text(DateText), e(record.date)});
    page.row({page.text(ProgramText), e("QuorelWin " + record.program)});
    page.row({page.text(FamilyText),
              family >= 1 && family <= 5 ? page.text(FamilyNames[family - 1]) : QString()});
    page.row({page.text(ModelText), e(model)});
    page.row({page.text(VersionText), e(VersionTable(record.versionIndex))});
    page.row({page.text(SerialText), e(std::to_string(record.serial))});
    page.row({page.text(AddressText), e(std::to_string(record.address))});
    page.row({page.text(BaudText), record.baud > 0 ? e(std::to_string(record.baud)) : QString()});
    page.row({page.text(LastReadText), record.lastRead.empty() ? none : e(record.lastRead)});
    page.row({page.text(LastWriteText), record.lastWrite.empty() ? none : e(record.lastWrite)});
    page.closeTable();

    page.add("<h2>" + page.text(ConfigurationText) + "</h2>\n");
    page.openTable("configuration");
    for (const RecordField &field : record.configuration)
        page.row({e(field.caption), e(field.value)});
    page.closeTable();

    page.add("<h2>" + page.text(CalibrationText) + "</h2>\n");
    if (!record.withCalibration) {
        page.add("<p>" + page.text(CalibrationNotKept) + "</p>\n");
    } else if (record.calibration.empty()) {
        page.add("<p>" + page.text(NoCalibration) + "</p>\n");
    } else {
        page.openTable("calibration");
        page.row({page.text(PointText), page.text(ReferenceText), page.text(CountsText),
                  page.text(CodeText), page.text(ResultText)},
                 true);
        for (const CalibrationStep &step : record.calibration)
            page.row({e(step.point), e(step.reference), e(step.counts),
                      step.code >= 0 ? QString::number(step.code) : QString(),
                      verdictText(page, step.verdict)});
        page.closeTable();
    }
    page.add("</body>\n</html>\n");
    return page.html().toStdString();
}

std::string saveRecord(const CommissioningRecord &record, const std::string &path)
{
    const QString name = QString::fromStdString(path);
    const std::string html = recordHtml(record);
    QByteArray bytes;
    if (name.endsWith(".pdf", Qt::CaseInsensitive)) {
        if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
            return path + " cannot be written: a PDF needs the program's fonts";
        QTextDocument document;
        document.setHtml(QString::fromStdString(html));
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&buffer);
            writer.setPageSize(QPageSize(QPageSize::A4));
            writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
            writer.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
            writer.setCreator(QString::fromStdString("QuorelWin " + record.program));
            document.print(&writer);
        }
    } else {
        bytes = QByteArray::fromStdString(html);
    }
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return path + " cannot be written: " + file.errorString().toStdString();
    return {};
}
