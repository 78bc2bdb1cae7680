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
    : QDialog(parent), m_settings(settings), Frame1(new QGroupBox(this)),
      m_group(new QButtonGroup(this)), Command1(new QPushButton(this)),
      Command2(new QPushButton(this)) {
    setObjectName(QStringLiteral("FrmSetComm"));
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2->setObjectName(QStringLiteral("Command2"));
    setModal(true);

    const QString caption = generalText(GeneralText::PortWindowCaption);
    setWindowTitle(caption);
    Frame1->setTitle(caption);
    captionOkAndCancel(this);

    auto* grid = new QGridLayout(Frame1);
    for (int i = 0; i < 8; ++i) {
        auto* option =
            new QRadioButton(generalText(GeneralText::PortLabel) + QString::number(i + 1), Frame1);
        option->setObjectName(QStringLiteral("Option1_%1").arg(i));
        auto* device = new QLabel(Frame1);
        device->setObjectName(QStringLiteral("lblDevice_%1").arg(i));
        device->setMinimumWidth(twipsToPixelsX(2400));
        m_group->addButton(option, i);
        grid->addWidget(option, i, 0);
        grid->addWidget(device, i, 1);
        Option1[size_t(i)] = option;
        m_device[size_t(i)] = device;
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);
    Command1->setDefault(true);

    showPortAvailability();
    if (currentPort >= 1 && currentPort <= 8) Option1[size_t(currentPort - 1)]->setChecked(true);

    connect(Command1, &QPushButton::clicked, this, &PortWindow::onOk);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);

    // Adapters come and go while the window is open: look again every second. The selection
    // stays, even on a choice whose device has gone.
    ReShowComPortTimer.setObjectName(QStringLiteral("ReShowComPortTimer"));
    ReShowComPortTimer.setInterval(1000);
    connect(&ReShowComPortTimer, &QTimer::timeout, this, &PortWindow::showPortAvailability);
    connect(this, &QDialog::finished, &ReShowComPortTimer, &QTimer::stop);
    ReShowComPortTimer.start();
}

int PortWindow::selectedPort() const {
    return m_group->checkedId() + 1;
}

void PortWindow::showPortAvailability() {
    for (int i = 0; i < 8; ++i) {
        const QString device = deviceForChoice(i + 1, m_settings.path());
        const bool present = !device.isEmpty() && QFileInfo::exists(device);
        Option1[size_t(i)]->setEnabled(present);
        m_device[size_t(i)]->setEnabled(present);
        m_device[size_t(i)]->setText(device);
    }
}

void PortWindow::onOk() {
    const int port = selectedPort();
    if (port >= 1) m_settings.setComPort(port);
    accept();
}
