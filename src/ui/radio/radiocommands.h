#pragma once

#include "core/comm/localinfo.h"
#include "core/comm/session.h"
#include "core/comm/sessiontrace.h"

#include "comparewindow.h"
#include "factoryinformationwindow.h"
#include "fleetwindow.h"
#include "progresswindow.h"
#include <QObject>

#include <QPointer>
#include <QTimer>

class QWidget;

// The radio commands of the main window (read, write, information read, set radio
// information) with their questions, progress window and completion, over the one session.
class RadioCommands : public QObject {
    Q_OBJECT
  public:
    RadioCommands(Document& doc, RadioSession& session, QWidget* mainWindow);
    ~RadioCommands() override;

    void readFromRadio();    // mnuReadFromRadio, toolbar "ReadRadio"
    void writeToRadio();     // mnuWriteToRadio, toolbar "WriteRadio"
    void readRadioInfo();    // mnuRadioInfo
    void readEmbeddedInfo(); // mnuEMG (ReadRMGDataFromRadio)
    void setRadioInfo();     // mnuSetRadioInfo
    // mnuWriteSeveral: the window that writes the configuration to several radios at once.
    void writeToSeveralRadios(const QString& settingsFile);
    // mnuCompareWithRadio: reads the radio into a copy and shows what differs from the open
    // configuration; the open configuration, its file name and its history stay untouched.
    void compareWithRadio();
    // mnuShowChangesBeforeWriting: Write to Radio compares first and writes only when the
    // user presses Write to Radio in the compare window.
    void setShowChangesBeforeWriting(bool on) { m_showChangesBeforeWriting = on; }
    bool showChangesBeforeWriting() const { return m_showChangesBeforeWriting; }

    // What FactoryInformationWindow shows; the start-up defaults until a read.
    LocalInformation localInformation;

    // A write was asked for and waits for the editors' validation to run first.
    bool writePending() const { return m_writeDelayTimer.isActive(); }
    // True while a command runs or a write is pending: starters do nothing then.
    bool busy() const { return m_session.busy() || writePending(); }
    // The windows this object opened, while they are open.
    ProgressWindow* progressWindow() const { return m_progressWindow; }
    FactoryInformationWindow* informationWindow() const { return m_informationWindow; }
    FleetWindow* fleetWindow() const { return m_fleetWindow; }
    CompareWindow* compareWindow() const { return m_compareWindow; }
    // Every session of the window's radio link is traced here (kept in the trace folder).
    SessionTrace& trace() { return m_trace; }
    // The backup image kept by the last successful read (empty when none could be kept).
    QString lastBackup() const { return m_lastBackup; }

  signals:
    // A write (to one radio or several) is about to start: values still in the editors must be
    // stored first.
    void aboutToWrite();
    // A read is about to replace the configuration: the editors close.
    void aboutToApplyRead();
    // The configuration read is in place (title, captions, channel grid follow it).
    void readApplied();

  private:
    // Stores the editors' values, then (after the delay) compares or writes.
    void startWrite(const char* handler, bool compareFirst);
    void writeAfterDelay();
    void showComparison(const Document& radio);
    void openProgress(RadioOperation operation);
    void startInformationRead(bool clearImage);
    void showInformation();
    void keepFiles(bool readSucceeded);
    QWidget* dialogParent() const;

    Document& m_doc;
    RadioSession& m_session;
    QWidget* m_mainWindow;
    QPointer<ProgressWindow> m_progressWindow;
    QPointer<FactoryInformationWindow> m_informationWindow;
    QPointer<FleetWindow> m_fleetWindow;
    QPointer<CompareWindow> m_compareWindow;
    QTimer m_writeDelayTimer; // started by writeToRadio(); the write begins when it fires
    SessionTrace m_trace;
    QString m_lastBackup;
    bool m_backupWarned = false;
    bool m_traceWarned = false;
    bool m_compareBeforeWrite = false; // what the delay timer starts: a comparison, not a write
    bool m_showChangesBeforeWriting = false;
    QString m_comparedModel; // the radio's model, from a read for comparison until its backup
};
