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
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QVBoxLayout>

#include <memory>

PortWindow::PortWindow(int currentPort, SetupSettings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_portFrame(new QGroupBox(this)),
      m_group(new QButtonGroup(this)), m_checkButton(new QPushButton(this)),
      m_okButton(new QPushButton(this)), m_cancelButton(new QPushButton(this)) {
    setObjectName(QStringLiteral("FrmSetComm"));
    m_portFrame->setObjectName(QStringLiteral("Frame1"));
    m_checkButton->setObjectName(QStringLiteral("CommandCheck"));
    m_okButton->setObjectName(QStringLiteral("Command1"));
    m_cancelButton->setObjectName(QStringLiteral("Command2"));
    setModal(true);

    const QString caption = generalText(GeneralText::PortWindowCaption);
    setWindowTitle(caption);
    m_portFrame->setTitle(caption);
    m_okButton->setText(Caption::ok());
    m_cancelButton->setText(Caption::cancel());
    m_checkButton->setText(tr2("C&heck...", "检查(&H)..."));

    auto* grid = new QGridLayout(m_portFrame);
    for (int i = 0; i < 8; ++i) {
        auto* option = new QRadioButton(
            generalText(GeneralText::PortLabel) + QString::number(i + 1), m_portFrame);
        option->setObjectName(QStringLiteral("Option1_%1").arg(i));
        auto* device = new QLabel(m_portFrame);
        device->setObjectName(QStringLiteral("lblDevice_%1").arg(i));
        device->setMinimumWidth(twipsToPixelsX(2400));
        auto* state = new QLabel(m_portFrame);
        state->setObjectName(QStringLiteral("lblState_%1").arg(i));
        m_group->addButton(option, i);
        grid->addWidget(option, i, 0);
        grid->addWidget(device, i, 1);
        grid->addWidget(state, i, 2);
        m_portChoices[size_t(i)] = option;
        m_device[size_t(i)] = device;
        m_state[size_t(i)] = state;
    }

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_checkButton);
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
    connect(m_checkButton, &QPushButton::clicked, this, &PortWindow::showCheck);
    connect(m_group, &QButtonGroup::idToggled, this,
            [this] { m_checkButton->setEnabled(selectedPort() >= 1); });
    m_checkButton->setEnabled(selectedPort() >= 1);
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

void PortWindow::setDoctor(const ConnectionDoctor& doctor) {
    m_doctor = doctor;
    showPortAvailability();
}

void PortWindow::showPortAvailability() {
    QStringList devices;
    for (int i = 0; i < 8; ++i)
        devices << deviceForChoice(i + 1, m_settings.path());
    for (int i = 0; i < 8; ++i) {
        const QString& device = devices.at(i);
        const bool present = !device.isEmpty() && QFileInfo::exists(device);
        m_portChoices[size_t(i)]->setEnabled(present);
        m_device[size_t(i)]->setEnabled(present);
        m_device[size_t(i)]->setText(device);
        m_state[size_t(i)]->setEnabled(present);
    }
    lookAtStates(devices);
}

// Who holds a device is found by reading every process's open files, which takes long with
// thousands of processes or a process that is slow to answer: a thread of its own does it, and
// the window shows the result when it comes. One look at a time; a request meanwhile is
// served when it ends. A window closed meanwhile lets the thread end on its own.
void PortWindow::lookAtStates(const QStringList& devices) {
    if (m_statesThread) {
        m_lookAgain = true;
        return;
    }
    m_lookAgain = false;
    auto states = std::make_shared<QList<PortStatus>>();
    m_statesThread = QThread::create(
        [doctor = m_doctor, devices, states] { *states = doctor.statuses(devices); });
    connect(m_statesThread, &QThread::finished, m_statesThread, &QObject::deleteLater);
    connect(m_statesThread, &QThread::finished, this, [this, states] {
        m_statesThread = nullptr;
        if (m_lookAgain) return showPortAvailability();
        for (qsizetype i = 0; i < states->size() && i < 8; ++i)
            m_state[size_t(i)]->setText(states->at(i).text());
    });
    m_statesThread->start();
}

// The doctor's lines for the chosen port, in a window of their own over this one.
void PortWindow::showCheck() {
    const int port = selectedPort();
    if (port < 1) return;
    const QString name = generalText(GeneralText::PortLabel) + QString::number(port);
    const QString device = deviceForChoice(port, m_settings.path());
    const QList<DoctorLine> lines = m_doctor.check(name, device);
    QStringList text;
    for (const DoctorLine& l : lines)
        text << doctorLineText(l);
    text << QString() << doctorVerdict(name, device, lines);

    auto* window = new QDialog(this);
    window->setObjectName(QStringLiteral("FrmPortCheck"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(tr2("Check %1", "检查 %1").arg(name));
    auto* lineView = new QPlainTextEdit(text.join(QLatin1Char('\n')), window);
    lineView->setObjectName(QStringLiteral("txtCheck"));
    lineView->setReadOnly(true);
    lineView->setMinimumSize(twipsToPixelsX(9000), twipsToPixelsY(3600));
    auto* close = new QPushButton(Caption::close(), window);
    close->setObjectName(QStringLiteral("CommandClose"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, window, &QDialog::accept);
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(lineView);
    layout->addWidget(close, 0, Qt::AlignRight);
    window->open();
}

void PortWindow::onOk() {
    const int port = selectedPort();
    if (port >= 1) m_settings.setComPort(port);
    accept();
}
