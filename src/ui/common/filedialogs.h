#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The open and save dialogs of the data file commands. The program's windows ask through the
// installed service; tests install one that answers from a script, so no dialog ever waits
// for a user. An empty answer means the user cancelled.
class FileDialogService {
  public:
    virtual ~FileDialogService() = default;
    // startPath: the folder or file the dialog starts at; filter: "Data File (*.dat)".
    virtual QString openFileName(QWidget* parent, const QString& startPath,
                                 const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& startPath,
                                 const QString& filter) = 0;
    // The same with a title of their own (the plain ones show the dialog's default title).
    // A service that does not care about titles answers them as the plain ones.
    virtual QString openFileNameTitled(QWidget* parent, const QString& title,
                                       const QString& startPath, const QString& filter);
    virtual QString saveFileNameTitled(QWidget* parent, const QString& title,
                                       const QString& startPath, const QString& filter);
    // One of a few choices (the group a channel list goes into): the index chosen, or -1 when
    // the user cancelled.
    virtual int chooseItem(QWidget* parent, const QString& title, const QString& label,
                           const QStringList& items, int current);
};

// The installed service; without one, Qt's file dialogs.
FileDialogService& fileDialogs();
// Installs a service (nullptr restores the default). The caller keeps ownership.
void setFileDialogService(FileDialogService* service);
