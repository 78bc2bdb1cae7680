#include "radiocommands.h"

#include "core/comm/keptfiles.h"
#include "exchange/configdiff.h"
#include "factoryinformationwindow.h"
#include "progresswindow.h"
#include "radioinformationwindow.h"
#include "ui/common/handlertrap.h"

#include <QApplication>
#include <QDate>
#include <utility>

namespace {
// Lets the editors' validation events run before the image is built.
constexpr int WriteDelayMs = 20;
} // namespace

RadioCommands::RadioCommands(Document& doc, RadioSession& session, QWidget* mainWindow)
    : QObject(nullptr), m_doc(doc), m_session(session), m_mainWindow(mainWindow),
      m_trace(doc.product()) {
    m_session.setTrace(&m_trace);
    // A verify after a write names the channels and settings that differ, in the language the
    // interface has when the verify runs.
    m_session.setMemoryDiffer([](const Product& p, const QByteArray& written,
                                 const QByteArray& held, const QList<int>& addresses) {
        return diffRadioImages(p, written, held, addresses, currentLanguage());
    });
    localInformation = defaultLocalInformation(QDate::currentDate());
    m_writeDelayTimer.setSingleShot(true);
    m_writeDelayTimer.setInterval(WriteDelayMs);
    connect(&m_writeDelayTimer, &QTimer::timeout, this, &RadioCommands::writeAfterDelay);

    connect(&m_session, &RadioSession::progressOpened, this, &RadioCommands::openProgress);
    connect(&m_session, &RadioSession::readApplying, this,
            [this] { runTrapped("CloseAllChildWindows", [this] { emit aboutToApplyRead(); }); });
    connect(&m_session, &RadioSession::readApplied, this,
            [this] { runTrapped("LoadNewDoc", [this] { emit readApplied(); }); });
    connect(&m_session, &RadioSession::radioConfigurationRead, this,
            &RadioCommands::showComparison);
    connect(&m_session, &RadioSession::informationRead, this, &RadioCommands::showInformation);
    connect(&m_session, &RadioSession::finished, this,
            [this](RadioOperation operation, bool success) {
                runTrapped("KeepBackupImage", [this, operation, success] {
                    keepFiles(operation == RadioOperation::Read && success);
                });
            });
}

RadioCommands::~RadioCommands() {
    if (m_session.trace() == &m_trace) m_session.setTrace(nullptr);
}

// After a session: the radio as it was read (so it can be put back byte for byte), and the
// session's trace. Neither changes how the session ended; a backup or trace that cannot be kept
// is said once per run each (a full disk would otherwise bring a box after every session), in
// one box when both fail together.
void RadioCommands::keepFiles(bool readSucceeded) {
    QStringList texts, reasons;
    if (readSucceeded) {
        QString why;
        // A read for comparison left the open configuration alone: the backup is named after
        // the radio's own model.
        const QString model = std::exchange(m_comparedModel, QString());
        const auto path = keepBackupImage(m_doc.product(), model.isEmpty() ? m_doc.model() : model,
                                          m_session.radioImage(), &why);
        m_lastBackup = path.value_or(QString());
        if (!path && !m_backupWarned) {
            m_backupWarned = true;
            texts << tr2("The data was read, but no backup image of the radio could be kept.",
                         "数据已读取，但无法保存对讲机的备份映像。");
            reasons << why;
        }
    }
    if (!m_trace.lastError().isEmpty() && !m_traceWarned) {
        m_traceWarned = true;
        texts << tr2("The trace of the session could not be kept.", "无法保存本次通信的记录。");
        reasons << m_trace.lastError();
    }
    if (!texts.isEmpty())
        showMessage(texts.join(QLatin1String("\r\n")), MsgIcon::Warning, MsgButtons::Ok,
                    reasons.join(QLatin1Char('\n')));
}

void RadioCommands::readFromRadio() {
    if (busy()) return;
    runTrapped("mnuReadFromRadio_Click", [this] { m_session.readFromRadio(); });
}

void RadioCommands::writeToRadio() {
    startWrite("mnuWriteToRadio_Click", m_showChangesBeforeWriting);
}

void RadioCommands::compareWithRadio() {
    startWrite("mnuCompareWithRadio_Click", true);
}

// Values still in the editors are stored first, so that the comparison shows (and the write
// sends) what the user sees.
void RadioCommands::startWrite(const char* handler, bool compareFirst) {
    if (busy()) return;
    runTrapped(handler, [this, compareFirst] {
        m_compareBeforeWrite = compareFirst;
        emit aboutToWrite();
        m_writeDelayTimer.start();
    });
}

void RadioCommands::writeAfterDelay() {
    m_writeDelayTimer.stop();
    runTrapped("TimerWrite_Timer", [this] {
        if (m_compareBeforeWrite)
            m_session.readForComparison();
        else
            m_session.writeToRadio();
    });
}

// The radio's side first, as diff names the older file first: "RX: radio -> this configuration".
void RadioCommands::showComparison(const Document& radio) {
    m_comparedModel = radio.model();
    runTrapped("ShowCompare", [this, &radio] {
        const QStringList lines =
            diffConfigurations(radio, m_doc, tr2("the radio", "对讲机"),
                               tr2("this configuration", "本配置"), currentLanguage());
        if (m_compareWindow) m_compareWindow->close();
        auto* w = new CompareWindow(lines, m_mainWindow);
        w->setAttribute(Qt::WA_DeleteOnClose);
        connect(w, &CompareWindow::writeRequested, this,
                [this] { startWrite("CompareWindow_Write", false); });
        m_compareWindow = w;
        w->open();
    });
}

void RadioCommands::writeToSeveralRadios(const QString& settingsFile) {
    if (busy() || m_fleetWindow) return;
    runTrapped("mnuWriteSeveral_Click", [this, &settingsFile] {
        emit aboutToWrite();
        auto* w = new FleetWindow(m_doc, settingsFile, m_mainWindow);
        w->setVerifyAfterWrite(m_session.verifyAfterWrite());
        w->setAttribute(Qt::WA_DeleteOnClose);
        m_fleetWindow = w;
        w->open();
    });
}

void RadioCommands::readRadioInfo() {
    startInformationRead(false);
}

void RadioCommands::readEmbeddedInfo() {
    startInformationRead(true);
}

void RadioCommands::startInformationRead(bool clearImage) {
    if (busy()) return;
    runTrapped(clearImage ? "ReadRMGDataFromRadio" : "mnuRadioInfo_Click", [this, clearImage] {
        // The area holds no version: the one shown so far is carried over.
        m_session.setLocalInformation(localInformation);
        m_session.readInformation(clearImage);
    });
}

void RadioCommands::setRadioInfo() {
    if (busy()) return;
    runTrapped("mnuSetRadioInfo_Click", [this] {
        auto* w = new RadioInformationWindow(m_doc, m_session, dialogParent());
        w->setAttribute(Qt::WA_DeleteOnClose);
        connect(w, &RadioInformationWindow::readRequested, this, &RadioCommands::readRadioInfo);
        w->open();
    });
}

// Modal without a nested event loop: the session goes on delivering replies and time-outs.
void RadioCommands::openProgress(RadioOperation operation) {
    runTrapped("ProgressForm_Show", [this, operation] {
        if (m_progressWindow) m_progressWindow->deleteLater();
        auto* w = new ProgressWindow(m_session, operation, m_mainWindow);
        w->setAttribute(Qt::WA_DeleteOnClose);
        m_progressWindow = w;
        w->open();
    });
}

void RadioCommands::showInformation() {
    runTrapped("ShowEMG", [this] {
        localInformation = m_session.localInformation();
        if (m_informationWindow) m_informationWindow->close();
        auto* w = new FactoryInformationWindow(m_doc, localInformation, dialogParent());
        w->setAttribute(Qt::WA_DeleteOnClose);
        m_informationWindow = w;
        w->open();
    });
}

// A window opened from a modal window (the information read of RadioInformationWindow) sits on it.
QWidget* RadioCommands::dialogParent() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return m_mainWindow;
}
