#pragma once

#include "comm/localinfo.h"
#include "comm/session.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>

class QWidget;

// The radio commands of the main window (read, write, information read, set radio
// information) with their questions, progress window and completion, over the one session.
class RadioCommands : public QObject {
    Q_OBJECT
public:
    RadioCommands(Document& doc, RadioSession& session, QWidget* mainWindow);

    void readFromRadio();    // mnuReadFromRadio, toolbar "ReadRadio"
    void writeToRadio();     // mnuWriteToRadio, toolbar "WriteRadio"
    void readRadioInfo();    // mnuRadioInfo
    void readEmbeddedInfo(); // mnuEMG (ReadRMGDataFromRadio)
    void setRadioInfo();     // mnuSetRadioInfo

    // Set by the main window.
    std::function<void()> validateOpenEditors; // commit values still in editors (before a write)
    std::function<void()> closeEditors;        // a read is about to replace the configuration
    std::function<void()> afterRead;           // title, captions, channel grid, cascade

    LocalInformation localInformation; // what FrmEMG shows; start-up defaults until a read
    QTimer TimerWrite;

private:
    Document& m_doc;
    RadioSession& m_session;
    QWidget* m_main;
};
