#pragma once

#include <QString>

// The program's language and its one message service. Every message box of the program goes
// through here: the GUI shows a dialog, the command-line tools print and answer by their
// options, tests install a scripted answerer.

enum Language : int { LanguageNone = 0, LanguageEnglish = 1, LanguageChinese = 2 };

int currentLanguage();
void setCurrentLanguage(int language);

// A text in the current language; index 0 (no language) always gives the empty text.
QString tr2(const char* english, const char* chinese);
// The same text in a given language (the printout and lists made for another language).
QString tr2In(int language, const char* english, const char* chinese);

// The shared message table.
enum class Msg {
    NewConfirm = 1,
    DataFile,
    FileError,
    PortOpenError,
    ReadConfirm,
    WriteConfirm,
    SaveChanges,
    Overwrite,
    CheckConnection,
    ReadCompleted,
    WriteCompleted,
    SelectPrintItems,
    ModelWrong,
    VersionWrong,
    BandWrong,
    FirmwareVersion,
    SoftwareVersion,
    DataFileVersion,
    Unknown,
    TestFreqMismatch,
    FreqDataCleared,
    WarningTitle,
    InvalidData,
    OutOfRange,
    NotNumeric,
    ModelWrongOverwrite,
    StopWriting,
    WriteStopped,
    WriteStoppedUnchanged,
    ReadStopped,
    VerifyStopped,
};

QString messageText(Msg msg);
QString messageText(Msg msg, int language);

enum class MsgIcon { None, Information, Warning, Question, Critical };
enum class MsgButtons { Ok, OkCancel, YesNoCancel, RetryCancel, YesNo };
enum class MsgAnswer { Ok, Cancel, Yes, No, Retry };

struct MessageRequest {
    QString text;
    QString informative; // a second, explanatory text (what went wrong and what to do)
    QString title;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    Msg id = Msg(0); // the message table entry the text comes from, when it does
};

class MessageService {
  public:
    virtual ~MessageService() = default;
    virtual MsgAnswer ask(const MessageRequest& request) = 0;
};

// The installed service; without one, messages go to stderr and are answered with the
// cautious choice (OK for a plain message, Cancel or No otherwise).
MessageService& messageService();
// Installs a service (nullptr restores the default). The caller keeps ownership.
void setMessageService(MessageService* service);

// Title of plain message boxes: the program's title.
QString programTitle();
void setProgramTitle(const QString& title);

MsgAnswer showMessage(const QString& text, MsgIcon icon = MsgIcon::None,
                      MsgButtons buttons = MsgButtons::Ok, const QString& informative = {});

// Shows a message of the message table in the current language.
MsgAnswer showMessage(Msg id, MsgIcon icon = MsgIcon::None, MsgButtons buttons = MsgButtons::Ok,
                      const QString& informative = {});

// The box a procedure shows when it trapped an unexpected error: its whole text names it.
void reportProcedureError(const QString& procedure);
