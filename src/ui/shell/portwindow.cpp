#include "portwindow.h"

#include "core/comm/ports.h"
#include "core/config/settingsfile.h"
#include "ui/common/texttables.h"
#include "ui/common/uicommon.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

PortWindow::PortWindow(int currentPort, SetupSettings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_portFrame(new QGroupBox(this)),
      m_group(new QButtonGroup(this)), m_okButton(new QPushButton(this)),
      m_cancelButton(new QPushButton(this)) {
    setObjectName(QStringLiteral("FrmSetComm"));
    m_portFrame->setObjectName(QStringLiteral("Frame1"));
    m_okButton->setObjectName(QStringLiteral("Command1"));
    m_cancelButton->setObjectName(QStringLiteral("Command2"));
    setModal(true);

    const QString caption = generalText(GeneralText::PortWindowCaption);
    setWindowTitle(caption);
    m_portFrame->setTitle(caption);
    m_okButton->setText(Caption::ok());
    m_cancelButton->setText(Caption::cancel());

    auto* grid = new QGridLayout(m_portFrame);
    for (int i = 0; i < 8; ++i) {
        auto* option = new QRadioButton(
            generalText(GeneralText::PortLabel) + QString::number(i + 1), m_portFrame);
        option->setObjectName(QStringLiteral("Option1_%1").arg(i));
        auto* device = new QLabel(m_portFrame);
        device->setObjectName(QStringLiteral("lblDevice_%1").arg(i));
        device->setMinimumWidth(twipsToPixelsX(2400));
        m_group->addButton(option, i);
        grid->addWidget(option, i, 0);
        grid->addWidget(device, i, 1);
        m_portChoices[size_t(i)] = option;
        m_device[size_t(i)] = device;
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_portFrame);
    layout->addLayout(buttons);
    m_okButton->setDefault(true);

    showPortAvailability();
    if (currentPort >= 1 && currentPort <= 8)
        m_portChoices[size_t(currentPort - 1)]->setChecked(true);

    connect(m_okButton, &QPushButton::clicked, this, &PortWindow::onOk);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    // Adapters come and go while the window is open: look again every second. The selection
    // stays, even on a choice whose device has gone.
    m_refreshTimer.setObjectName(QStringLiteral("ReShowComPortTimer"));
    m_refreshTimer.setInterval(1000);
    connect(&m_refreshTimer, &QTimer::timeout, this, &PortWindow::showPortAvailability);
    connect(this, &QDialog::finished, &m_refreshTimer, &QTimer::stop);
    m_refreshTimer.start();
}

int PortWindow::selectedPort() const {
    return m_group->checkedId() + 1;
}

void PortWindow::showPortAvailability() {
    for (int i = 0; i < 8; ++i) {
        const QString device = deviceForChoice(i + 1, m_settings.path());
        const bool present = !device.isEmpty() && QFileInfo::exists(device);
        m_portChoices[size_t(i)]->setEnabled(present);
        m_device[size_t(i)]->setEnabled(present);
        m_device[size_t(i)]->setText(device);
    }
}

void PortWindow::onOk() {
    const int port = selectedPort();
    if (port >= 1) m_settings.setComPort(port);
    accept();
}
