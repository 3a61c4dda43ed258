#include "info_window.h"

#include "device_settings.h"
#include "exit_edit.h"
#include "link.h"
#include "status_label.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

InfoWindowLayout transmitterLayout()
{
    return {"TForm2",    "QRT",   "Item8",   "Label18", "Label7", {},
            "GroupBox6", "Edit1", "Button1", {},        9};
}

InfoWindowLayout resistanceLayout()
{
    return {"TForm4",    {},      "Item8",   "Label18",    "Label7", {},
            "GroupBox6", "Edit1", "Button1", "0703070001", 9};
}

InfoWindowLayout compactResistanceLayout()
{
    InfoWindowLayout layout = resistanceLayout();
    layout.className = "TForm10";
    return layout;
}

InfoWindowLayout distributorLayout()
{
    return {"TForm5", "QRC", "Item8", "Label27", "Label45", "GroupBox15", {}, {}, {}, {}, 21};
}

InfoWindowLayout vmaDistributorLayout()
{
    return {"TForm7",    {},       "Item_14", "Label33",    "Label32", "Item_13",
            "GroupBox3", "Edit17", "Button3", "0703070001", 21};
}

namespace {
QLabel *label(const QString &name, const QString &text, QWidget *parent)
{
    auto *created = new QLabel(text, parent);
    created->setObjectName(name);
    return created;
}
} // namespace

InfoWindow::InfoWindow(const InfoWindowLayout &layout, Link &link, TForm3 &scan)
    : DeviceWindow(layout.className, link, scan, layout.helpStem)
    , m_layout(layout)
{
    m_pages = new QTabWidget(this);
    m_pages->setObjectName("PageControl1");
    auto *page = new QWidget(m_pages);
    page->setObjectName("Configuration");
    m_pages->addTab(page, "Configuration");
    auto *grid = new QGridLayout(page);
    grid->setSpacing(10);

    auto *info = new QGroupBox("Device Information", page);
    info->setObjectName(layout.infoGroup);
    auto *infoGrid = new QGridLayout(info);
    infoGrid->addWidget(label("Lab81", "Device    :", info), 0, 0);
    m_model = label(layout.modelLabel, {}, info);
    infoGrid->addWidget(m_model, 0, 1);
    m_version = label(layout.versionLabel, "V00", info);
    m_version->hide();
    infoGrid->addWidget(m_version, 0, 2);
    infoGrid->addWidget(label("Lab82", "Serial No :", info), 1, 0);
    m_serial = label("Serial_Y", "00000000", info);
    infoGrid->addWidget(m_serial, 1, 1, 1, 2);
    auto *status = new StatusLabel(info);
    status->setObjectName("Lab83");
    status->setMinimumHeight(22);
    infoGrid->addWidget(status, 2, 0, 1, 3);
    setStatusLabel(status);
    infoGrid->setColumnMinimumWidth(1, 140);
    grid->addWidget(info, 0, 0);

    if (!layout.addressGroup.isEmpty()) {
        auto *address = new QGroupBox("ID And Baud Rate", page);
        address->setObjectName(layout.addressGroup);
        auto *row = new QGridLayout(address);
        row->addWidget(label("labelId", "ID :", address), 0, 0);
        auto *id = new ExitEdit(address);
        m_address = id;
        id->setObjectName("ID_Edit");
        id->setText("255");
        id->setFixedWidth(60);
        row->addWidget(id, 0, 1);
        row->addWidget(label("labelBaud", "Baud :", address), 0, 2);
        auto *baud = new QComboBox(address);
        baud->setObjectName("ComboBox1");
        baud->addItems({"4800", "9600", "19200", "38400"});
        baud->setPlaceholderText("Baud");
        baud->setCurrentIndex(-1);
        row->addWidget(baud, 0, 3);
        row->setColumnStretch(4, 1);
        grid->addWidget(address, 1, 0);
    }

    if (!layout.serialGroup.isEmpty()) {
        m_serialGroup = new QGroupBox("Serial Number", page);
        m_serialGroup->setObjectName(layout.serialGroup);
        auto *row = new QHBoxLayout(m_serialGroup);
        m_serialEdit = new ExitEdit(m_serialGroup);
        m_serialEdit->setObjectName(layout.serialEdit);
        m_serialEdit->setText(layout.serialText);
        m_serialEdit->setFixedWidth(140);
        row->addWidget(m_serialEdit);
        auto *load = new QPushButton("Load Serial Number", m_serialGroup);
        load->setObjectName(layout.serialButton);
        connect(load, &QPushButton::clicked, this, &InfoWindow::loadSerialClick);
        setCommandControls({load});
        row->addWidget(load);
        m_serialGroup->hide();
        grid->addWidget(m_serialGroup, 2, 0);
    }
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(1, 1);
    setCentralWidget(m_pages);
}

void InfoWindow::FormActivate()
{
    m_pages->setCurrentIndex(0);
    m_serial->setText(QString::number(link().SerialNo));
    m_version->setText(QString::fromStdString(VersionTable(link().ComBuf[cb::DevVer])));
    if (m_layout.className == "TForm2") {
        m_serialEdit->setText(QString::number(link().SerialNo));
        switch (link().ComBuf[cb::DevModel]) {
        case 1: m_model->setText("RX110"); break;
        case 2:
        case 17: m_model->setText("RY550"); break;
        default: break;
        }
    } else if (m_layout.className == "TForm4" || m_layout.className == "TForm10") {
        m_model->setText("RY440");
    }
    TimerAllOFF();
    applyCurrentLanguage();
    // The distributors are put back to their own address and baud rate after
    // the scan forced address 1 and 19200 baud.
    if (m_address && devVer() > 2) {
        RequestChain chain;
        appendRestore(chain, 30, m_address);
        runChain(
            std::move(chain), [](bool) {}, i18n::Status::ReadFail);
    }
}

void InfoWindow::serviceModeChanged(bool on)
{
    if (m_serialGroup)
        m_serialGroup->setVisible(on);
}

void InfoWindow::loadSerialClick()
{
    loadSerialNumber(m_serialEdit, m_layout.commandCell);
}
