#pragma once

#include <QObject>
#include <QString>

class ChildWindowArea;
class Document;
class QWidget;

// The File menu's commands and Initial Setting over the one configuration: New, Open, Save,
// Save As, the channel lists, and the save question before anything replaces unsaved work.
// What the main window shows of the file (title, status bar, captions) follows fileShown().
class FileCommands : public QObject {
    Q_OBJECT
  public:
    FileCommands(Document& doc, ChildWindowArea& windows, QWidget* dialogParent,
                 QString programFolder);

    // The template file over the configuration, the channel grid reopened (no question).
    // freshHistory: the edit history starts afresh; else the caller makes it part of a step.
    void newDocument(bool freshHistory = true);
    // File > New: asks first.
    void fileNew();
    void fileOpen();
    // Opens the data file at path without the save question: the version check and its
    // messages; a missing or refused file leaves the configuration as it is and says why.
    // True when the file was opened.
    bool openFile(const QString& path);
    bool fileSave();
    bool fileSaveAs();
    // The factory file over the configuration.
    void initialSetting();
    void exportChannels();
    // File > Export Configuration as Text...: the whole configuration as a text file.
    void exportConfigurationText();
    // Whether path names the configuration as text (".yaml", ".yml"), which Open imports.
    static bool isConfigurationText(const QString& path);
    void importChannels();
    // The save question before the configuration is replaced or the program ends. True when
    // the caller may go on.
    bool saveBeforeLeaving();
    // The data file filter of the file dialogs, in the current language.
    static QString dataFileFilter();

  signals:
    // The configuration, its file name or its saved state changed: the title, status bar and
    // captions show it again.
    void fileShown();
    // A file was opened or saved; path is absolute.
    void fileUsed(const QString& path);
    // New or Open put another configuration in place: its edit history starts afresh.
    void documentReplaced();
    // The configuration was written to its file.
    void documentSaved();

  private:
    void loadProgramFile(const QString& name);
    bool openConfigurationText(const QString& path);
    // Refuses (with a message) an export over the data file the configuration came from.
    bool refusedAsOpenFile(const QString& path) const;
    bool saveWithRollback(const QString& path);
    QString startFolder() const;

    Document& m_doc;
    ChildWindowArea& m_windows;
    QWidget* m_dialogParent;
    QString m_programFolder;
};
