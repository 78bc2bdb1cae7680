#include "filecommands.h"

#include "childwindowarea.h"
#include "core/channels/channelrules.h"
#include "core/config/datafile.h"
#include "core/config/filereading.h"
#include "core/config/messages.h"
#include "core/io/wholefile.h"
#include "exchange/channelcsv.h"
#include "exchange/configtext.h"
#include "ui/common/editorsupport.h"
#include "ui/common/filedialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>
#include <algorithm>

namespace {
QString channelListFilter() {
    return tr2("Channel List (*.csv)", "信道列表 (*.csv)");
}
QString configurationTextFilter() {
    return tr2("Configuration Text (*.yaml *.yml)", "配置文本 (*.yaml *.yml)");
}
// A configuration text is a few hundred kilobytes at most; a larger file is refused unread.
constexpr qint64 MaxConfigurationTextBytes = 4 * 1024 * 1024;
FileRead readConfigurationTextFile(const QString& path) {
    FileRead f = readRegularFile(path, MaxConfigurationTextBytes + 1);
    if (f.ok() && f.bytes.size() > MaxConfigurationTextBytes) {
        f.bytes.clear();
        f.problem = tr2("The file \"%1\" is larger than 4 MB: it is no configuration text.",
                        "文件“%1”大于 4 MB：它不是配置文本。")
                        .arg(path);
    }
    return f;
}

// File > Open takes a data file or the configuration as text; the first filter shows both.
QString openFilter() {
    return tr2("Data File or Configuration Text", "数据文件或配置文本") +
           QLatin1String(" (*.dat *.yaml *.yml);;") + FileCommands::dataFileFilter() +
           QLatin1String(";;") + configurationTextFilter();
}
} // namespace

FileCommands::FileCommands(Document& doc, ChildWindowArea& windows, QWidget* dialogParent,
                           QString programFolder)
    : QObject(dialogParent), m_doc(doc), m_windows(windows), m_dialogParent(dialogParent),
      m_programFolder(std::move(programFolder)) {}

QString FileCommands::dataFileFilter() {
    return messageText(Msg::DataFile) + QLatin1String(" (*.dat)");
}

QString FileCommands::startFolder() const {
    return m_doc.isUntitled() ? QDir::currentPath() : QFileInfo(m_doc.fileName()).absolutePath();
}

void FileCommands::loadProgramFile(const QString& name) {
    // A missing or unreadable file leaves the configuration as it is.
    if (!loadDataFile(m_doc, QDir(m_programFolder).filePath(name))) m_doc.takeSnapshot();
}

void FileCommands::newDocument(bool freshHistory) {
    m_windows.closeAll();
    const QString path = QDir(m_programFolder).filePath(QStringLiteral("KORVEN_New.dat"));
    if (freshHistory) {
        loadProgramFile(QStringLiteral("KORVEN_New.dat"));
        // A new configuration belongs to no file yet, as at start-up: a later Save asks for a
        // name instead of putting the template over the file that was open.
        m_doc.becameUntitled(QStringLiteral("new.dat"));
    } else {
        // Part of an edit (a model change, whose step is open): the open file on disk still
        // holds what it held.
        loadDataFileAsEdit(m_doc, path, QString());
    }
    emit fileShown();
    m_windows.reopenChannelGrid();
    if (freshHistory) emit documentReplaced();
}

void FileCommands::fileNew() {
    if (showMessage(Msg::NewConfirm, MsgIcon::Warning, MsgButtons::OkCancel) == MsgAnswer::Ok)
        newDocument();
}

void FileCommands::initialSetting() {
    m_windows.closeAll();
    // The factory configuration is an edit of the open one: the file on disk still holds what
    // it held, so the work counts as modified until it is saved.
    const QString path = QDir(m_programFolder).filePath(QStringLiteral("KORVEN.dat"));
    // A missing or unreadable file leaves the configuration as it is.
    loadDataFileAsEdit(m_doc, path, tr2("Initial Setting", "初始化设置"));
    emit fileShown();
    m_windows.reopenChannelGrid();
}

// Saves under path. A failed save leaves the configuration counted as modified and under its
// file name (saveDataFile changes neither), so the save question comes again before anything
// replaces it.
bool FileCommands::saveWithRollback(const QString& path) {
    if (!saveDataFile(m_doc, path)) return false;
    emit documentSaved();
    emit fileShown();
    emit fileUsed(m_doc.fileName());
    return true;
}

bool FileCommands::saveBeforeLeaving() {
    // A value still being typed in an editor counts as a change.
    m_windows.validateOpenEditors();
    if (!m_doc.isModified()) return true;
    switch (showMessage(Msg::SaveChanges, MsgIcon::Warning, MsgButtons::YesNoCancel)) {
    case MsgAnswer::Yes:
        return m_doc.isUntitled() ? fileSaveAs() : saveWithRollback(m_doc.fileName());
    case MsgAnswer::No:
        return true;
    default:
        return false;
    }
}

void FileCommands::fileOpen() {
    if (!saveBeforeLeaving()) return;
    const QString path = fileDialogs().openFileName(m_dialogParent, startFolder(), openFilter());
    if (!path.isEmpty()) openFile(path);
}

bool FileCommands::isConfigurationText(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("yaml") || suffix == QLatin1String("yml");
}

bool FileCommands::openFile(const QString& path) {
    const QString file = QFileInfo(path).absoluteFilePath();
    if (isConfigurationText(file)) {
        if (!openConfigurationText(file)) return false;
    } else if (openDataFile(m_doc, file) != OpenResult::Opened) {
        return false;
    }
    m_windows.reopenChannelGrid();
    emit fileShown();
    emit documentReplaced();
    emit fileUsed(file);
    return true;
}

bool FileCommands::fileSave() {
    // A value still being typed is part of what the user saves: the toolbar button and the
    // menu take no focus from the editor, so nothing else would commit it.
    m_windows.validateOpenEditors();
    if (m_doc.isUntitled()) return fileSaveAs();
    const QString question = QLatin1Char('"') + QFileInfo(m_doc.fileName()).fileName() +
                             QLatin1Char('"') + messageText(Msg::Overwrite);
    MessageRequest r{question,      {}, programTitle(), MsgIcon::Question, MsgButtons::OkCancel,
                     Msg::Overwrite};
    if (messageService().ask(r) != MsgAnswer::Ok) return false;
    return saveWithRollback(m_doc.fileName());
}

bool FileCommands::fileSaveAs() {
    m_windows.validateOpenEditors();
    const QString path =
        fileDialogs().saveFileName(m_dialogParent, m_doc.fileName(), dataFileFilter());
    if (path.isEmpty()) return false;
    // Open reads a .yaml as a configuration text: a data file under that name could not be
    // opened again, and the text it replaced would be gone.
    if (isConfigurationText(path)) {
        showMessage(Msg::FileError, MsgIcon::Critical, MsgButtons::Ok,
                    QDir::toNativeSeparators(path) + QStringLiteral(": ") +
                        tr2("a data file is not saved under the name of a configuration text "
                            "(.yaml, .yml). Save it as a .dat file; File > Export Configuration "
                            "as Text... writes the text.",
                            "数据文件不能以配置文本的名称（.yaml、.yml）保存。请保存为 .dat "
                            "文件；“文件 > 将配置导出为文本”可写出文本。"));
        return false;
    }
    return saveWithRollback(path);
}

// An export over the open configuration's data file would leave a list or text in its place
// while the configuration counts as saved there: Exit would then lose it without a question.
bool FileCommands::refusedAsOpenFile(const QString& path) const {
    const QFileInfo target(path);
    if (m_doc.isUntitled() || !target.exists() || target != QFileInfo(m_doc.fileName()))
        return false;
    showMessage(Msg::FileError, MsgIcon::Critical, MsgButtons::Ok,
                QDir::toNativeSeparators(path) + QStringLiteral(": ") +
                    tr2("the open configuration is kept in this data file; export to another "
                        "name.",
                        "当前配置保存在此数据文件中；请导出为其他文件名。"));
    return true;
}

void FileCommands::exportChannels() {
    m_windows.validateOpenEditors();
    const QFileInfo current(m_doc.fileName());
    const QString start = (m_doc.isUntitled() ? QDir::current() : current.absoluteDir())
                              .filePath(current.completeBaseName() + QStringLiteral(".csv"));
    const QString path = fileDialogs().saveFileNameTitled(
        m_dialogParent, tr2("Export Channels", "导出信道"), start, channelListFilter());
    if (path.isEmpty() || refusedAsOpenFile(path)) return;
    QString why;
    if (!writeWholeFile(path, exportChannelsCsv(m_doc), &why))
        showMessage(Msg::FileError, MsgIcon::Critical, MsgButtons::Ok,
                    QDir::toNativeSeparators(path) + QStringLiteral(": ") + why);
}

// The text over the built-in defaults (keys it leaves out keep them). It becomes a configuration
// of no file yet: Save asks for a data file's name, proposing the text's name with ".dat", so
// the text is never overwritten by a data file. Until it is edited it is what the text says,
// so nothing asks to save it.
bool FileCommands::openConfigurationText(const QString& path) {
    const FileRead file = readConfigurationTextFile(path);
    if (!file.ok()) {
        showMessage(Msg::FileError, MsgIcon::Critical, MsgButtons::Ok, file.problem);
        return false;
    }
    Document defaults(m_doc.product());
    defaults.initialiseDefaults();
    const ConfigTextImport result =
        importConfigurationText(m_doc.product(), file.bytes, defaults.config());
    if (!result.record) {
        showMessage(messageText(Msg::FileError), MsgIcon::Critical, MsgButtons::Ok,
                    QDir::toNativeSeparators(path) + QLatin1Char('\n') +
                        tr2("Nothing was opened; the configuration is unchanged.",
                            "未打开任何内容；配置未改变。") +
                        QLatin1Char('\n') + shownProblems(result.problems));
        return false;
    }
    m_doc.openRecord(*result.record);
    const QFileInfo text(path);
    m_doc.becameUntitled(
        text.absoluteDir().filePath(text.completeBaseName() + QStringLiteral(".dat")));
    return true;
}

void FileCommands::exportConfigurationText() {
    m_windows.validateOpenEditors();
    const QFileInfo current(m_doc.fileName());
    const QString start =
        (m_doc.isUntitled() && !current.isAbsolute() ? QDir::current() : current.absoluteDir())
            .filePath(current.completeBaseName() + QStringLiteral(".yaml"));
    const QString path = fileDialogs().saveFileNameTitled(
        m_dialogParent, tr2("Export Configuration as Text", "将配置导出为文本"), start,
        configurationTextFilter());
    if (path.isEmpty() || refusedAsOpenFile(path)) return;
    QString why;
    // What Save would write, so that the text opened again gives the same data file.
    if (!writeWholeFile(path, ::exportConfigurationText(m_doc.product(), m_doc.recordToSave()),
                        &why))
        showMessage(Msg::FileError, MsgIcon::Critical, MsgButtons::Ok,
                    QDir::toNativeSeparators(path) + QStringLiteral(": ") + why);
}

void FileCommands::importChannels() {
    m_windows.validateOpenEditors();
    const QString path = fileDialogs().openFileNameTitled(
        m_dialogParent, tr2("Import Channels", "导入信道"), startFolder(), channelListFilter());
    if (path.isEmpty()) return;
    const FileRead list = readChannelListFile(path);
    if (!list.ok()) {
        showMessage(Msg::FileError, MsgIcon::Critical, MsgButtons::Ok, list.problem);
        return;
    }
    const QByteArray& data = list.bytes;
    int group = -1;
    // Another tool's list has no groups: the user says which group it fills.
    if (channelCsvKind(parseCsv(data)) == ChannelCsvKind::OtherTool) {
        QStringList groups;
        for (int g = 0; g < GroupCount; ++g)
            groups << groupLetter(g);
        group = fileDialogs().chooseItem(m_dialogParent, programTitle(),
                                         tr2("The channels of this list replace those of group:",
                                             "此列表的信道将替换以下组的信道："),
                                         groups, m_doc.config().currentGroupIndex());
        if (group < 0) return;
    }
    const ChannelImportResult r = importChannelsCsv(m_doc, data, group);
    if (!r.ok) {
        showRefusedChannels(tr2("No channels were imported; the configuration is unchanged.",
                                "未导入任何信道；配置未改变。"),
                            r.problems);
        return;
    }
    m_windows.reopenChannelGrid();
    emit fileShown();
    showMessage(importedChannelsText(r), MsgIcon::Information);
}
