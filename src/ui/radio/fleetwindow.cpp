#include "fleetwindow.h"

#include "core/comm/ports.h"
#include "core/config/messages.h"
#include "exchange/configdiff.h"
#include "ui/common/handlertrap.h"
#include "ui/common/texttables.h"
#include "ui/common/uicommon.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

FleetWindow::FleetWindow(const Document& doc, QString settingsFile, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_settingsFile(std::move(settingsFile)),
      m_verifyBox(new QCheckBox(this)), m_repeatBox(new QCheckBox(this)),
      m_writeButton(new QPushButton(this)), m_closeButton(new QPushButton(this)) {
    setObjectName(QStringLiteral("FrmWriteSeveral"));
    m_verifyBox->setObjectName(QStringLiteral("chkVerify"));
    m_repeatBox->setObjectName(QStringLiteral("chkRepeat"));
    m_writeButton->setObjectName(QStringLiteral("cmdWrite"));
    m_closeButton->setObjectName(QStringLiteral("CommandClose"));

    m_portsBox = new QGroupBox(this);
    m_portsBox->setObjectName(QStringLiteral("fraPorts"));
    auto* grid = new QGridLayout(m_portsBox);
    for (int i = 0; i < 8; ++i) {
        PortRow& row = m_rows[size_t(i)];
        row.box =
            new QCheckBox(generalText(GeneralText::PortLabel) + QString::number(i + 1), m_portsBox);
        row.box->setObjectName(QStringLiteral("chkPort_%1").arg(i));
        row.device = new QLabel(m_portsBox);
        row.device->setObjectName(QStringLiteral("lblDevice_%1").arg(i));
        row.device->setMinimumWidth(twipsToPixelsX(1800));
        row.bar = new QProgressBar(m_portsBox);
        row.bar->setObjectName(QStringLiteral("barPort_%1").arg(i));
        row.bar->setRange(0, 100);
        row.bar->setValue(0);
        row.result = new QLabel(m_portsBox);
        row.result->setObjectName(QStringLiteral("lblResult_%1").arg(i));
        row.result->setMinimumWidth(twipsToPixelsX(3600));
        grid->addWidget(row.box, i, 0);
        grid->addWidget(row.device, i, 1);
        grid->addWidget(row.bar, i, 2);
        grid->addWidget(row.result, i, 3);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_verifyBox);
    buttons->addWidget(m_repeatBox);
    buttons->addStretch();
    buttons->addWidget(m_writeButton);
    buttons->addWidget(m_closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_portsBox);
    layout->addLayout(buttons);
    m_writeButton->setDefault(true);

    connect(m_writeButton, &QPushButton::clicked, this,
            [this] { runTrapped("cmdWrite_Click", [this] { startWrite(); }); });
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::reject);
    // Adapters come and go while the window is open: look again every second.
    m_availabilityTimer.setInterval(1000);
    connect(&m_availabilityTimer, &QTimer::timeout, this, &FleetWindow::showPortAvailability);
    m_availabilityTimer.start();
    retranslate();
    showPortAvailability();
}

FleetWindow::~FleetWindow() {
    if (m_fleet) m_fleet->stop();
}

void FleetWindow::retranslate() {
    setWindowTitle(tr2("Write to Several Radios", "写入多台对讲机"));
    m_portsBox->setTitle(tr2("Radios on these ports", "以下端口上的对讲机"));
    m_verifyBox->setText(tr2("&Verify after Write", "写入后校验(&V)"));
    m_repeatBox->setText(tr2("&Repeat: the next radio on each port until closed",
                             "连续(&R)：每个端口依次写入下一台对讲机，直到关闭"));
    m_writeButton->setText(tr2("&Write", "写入(&W)"));
    m_closeButton->setText(Caption::close());
}

void FleetWindow::showPortAvailability() {
    if (running()) return;
    for (int i = 0; i < 8; ++i) {
        PortRow& row = m_rows[size_t(i)];
        const QString device = deviceForChoice(i + 1, m_settingsFile);
        const bool present = !device.isEmpty() && QFileInfo::exists(device);
        row.box->setEnabled(present);
        if (!present) row.box->setChecked(false);
        row.device->setEnabled(present);
        row.device->setText(device);
    }
}

void FleetWindow::setVerifyAfterWrite(bool on) {
    m_verifyBox->setChecked(on);
}

bool FleetWindow::startWrite() {
    if (running()) return false;
    FleetOptions options;
    options.operation = RadioOperation::Write;
    options.file = m_doc.fileName();
    options.verify = m_verifyBox->isChecked();
    options.differ = radioImageDiffer(currentLanguage());
    options.repeat = m_repeatBox->isChecked();
    auto fleet = std::make_unique<Fleet>(m_doc, options);
    for (int i = 0; i < 8; ++i) {
        PortRow& row = m_rows[size_t(i)];
        if (!row.box->isChecked() || !row.box->isEnabled()) continue;
        FleetPort& port = fleet->addPort(QStringLiteral("COM%1").arg(i + 1), row.device->text());
        row.radiosDone = 0;
        row.bar->setValue(0);
        row.result->clear();
        connect(&port, &FleetPort::progressChanged, row.bar, &QProgressBar::setValue);
        connect(&port, &FleetPort::stateChanged, this, [this, i, &port] { showState(i, port); });
        connect(&port, &FleetPort::radioFinished, this,
                [this, i](const FleetRecord& r) { showRadio(i, r); });
    }
    if (fleet->ports().empty()) {
        showMessage(tr2("No port is ticked. Tick the ports of the radios to write, then Write.",
                        "没有勾选端口。请勾选要写入的对讲机的端口，然后写入。"),
                    MsgIcon::Warning);
        return false;
    }
    m_fleet = std::move(fleet);
    connect(m_fleet.get(), &Fleet::finished, this, &FleetWindow::runEnded);
    for (QCheckBox* box : {m_verifyBox, m_repeatBox})
        box->setEnabled(false);
    for (PortRow& row : m_rows)
        row.box->setEnabled(false);
    m_writeButton->setEnabled(false);
    m_fleet->start();
    return true;
}

void FleetWindow::showState(int row, FleetPort& port) {
    QLabel* result = m_rows[size_t(row)].result;
    switch (port.state()) {
    case FleetPort::State::WaitingForRadio:
        result->setText(tr2("Waiting for a radio (%1 done)", "等待对讲机（已完成 %1 台）")
                            .arg(m_rows[size_t(row)].radiosDone));
        m_rows[size_t(row)].bar->setValue(0);
        break;
    case FleetPort::State::Working:
        result->setText(tr2("Writing", "正在写入"));
        break;
    default:
        break;
    }
}

void FleetWindow::showRadio(int row, const FleetRecord& r) {
    PortRow& p = m_rows[size_t(row)];
    ++p.radiosDone;
    const QString seconds = QString::number(r.seconds, 'f', 1);
    QString text;
    if (r.succeeded()) {
        p.bar->setValue(100);
        text = r.verify == FleetVerify::Same
                   ? tr2("Written and verified (%1 s)", "已写入并校验（%1 秒）").arg(seconds)
                   : tr2("Written (%1 s)", "已写入（%1 秒）").arg(seconds);
    } else if (r.verify == FleetVerify::Different) {
        text = tr2("Written, but the radio holds something else", "已写入，但对讲机中的数据不一致");
    } else if (r.verify == FleetVerify::Failed && r.failure != SessionFailure::Cancelled) {
        text = tr2("Written, but the read-back failed", "已写入，但回读校验失败");
    } else if (r.failure == SessionFailure::Cancelled) {
        text = tr2("Cancelled", "已取消");
    } else {
        text = tr2("Failed: %1", "失败：%1")
                   .arg(r.lastMessage.isEmpty() ? fleetResultName(r) : r.lastMessage);
    }
    if (m_repeatBox->isChecked()) text = tr2("%1; unplug the radio", "%1；请取下对讲机").arg(text);
    p.result->setText(text);
    p.result->setToolTip(r.lastMessage);
}

void FleetWindow::runEnded() {
    m_writeButton->setEnabled(true);
    for (QCheckBox* box : {m_verifyBox, m_repeatBox})
        box->setEnabled(true);
    showPortAvailability();
}

void FleetWindow::done(int result) {
    if (m_asking) return;
    // A radio being written keeps what arrived of the new configuration: ask first. The radios
    // go on being written while the question is open and may be done meanwhile.
    const auto writing = [this] {
        if (!m_fleet || !m_fleet->running()) return false;
        for (const auto& port : m_fleet->ports())
            if (port->state() == FleetPort::State::Working) return true;
        return false;
    };
    if (writing()) {
        const QPointer<FleetWindow> self(this);
        m_asking = true;
        const MsgAnswer answer =
            showMessage(Msg::StopWriting, MsgIcon::Question, MsgButtons::YesNo);
        if (!self) return;
        m_asking = false;
        if (answer != MsgAnswer::Yes) return;
    }
    if (m_fleet && writing()) {
        // What the radios hold: a radio being verified was written whole.
        bool dataSent = false, verifying = false;
        for (const auto& port : m_fleet->ports()) {
            if (port->state() != FleetPort::State::Working) continue;
            const RadioSession& session = port->session();
            dataSent = dataSent || session.writingData();
            verifying = verifying || session.operation() == RadioOperation::Verify;
        }
        m_fleet->stop(); // the radios are let go with "E"
        showMessage(dataSent    ? Msg::WriteStopped
                    : verifying ? Msg::VerifyStopped
                                : Msg::WriteStoppedUnchanged,
                    MsgIcon::Warning);
    } else if (m_fleet) {
        m_fleet->stop(); // ports waiting for their next radio
    }
    QDialog::done(result);
}
