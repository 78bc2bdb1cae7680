#pragma once

// Helpers of the window tests (they link the windows, so Widgets is at hand).

#include "core/config/document.h"
#include "ui/common/filedialogs.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <memory>

// Settings and runtime folders of the test's own, for the whole run: nothing a test does reaches
// the user's settings. The runtime folder gets the owner-only mode Qt insists on.
struct PrivateUserFolders {
    QTemporaryDir config;
    QTemporaryDir runtime;
    PrivateUserFolders() {
        QFile::setPermissions(runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    }
};

// Shows a window and waits until it is the active one, as a user's window would be.
template <class W> W& showActive(W* window) {
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window)) qFatal("window not active");
    return *window;
}

// The configuration an editor window works on and the window itself; editor tests derive from
// it beside QObject.
template <class W> struct EditorUnderTest {
    std::unique_ptr<Document> m_doc;
    std::unique_ptr<W> m_window;

    // A fresh default configuration of the product; a window still open is closed first.
    Document& freshDoc(const Product& p) {
        m_window.reset();
        m_doc = std::make_unique<Document>(p);
        m_doc->initialiseDefaults();
        return *m_doc;
    }
    // Opens the window on the configuration and waits until it is active.
    W& openWindow() {
        m_window = std::make_unique<W>(*m_doc);
        return showActive(m_window.get());
    }
};

// File dialogs that answer from a list, one path per dialog; an empty list cancels.
class ScriptedFileDialogs : public FileDialogService {
  public:
    ScriptedFileDialogs() { setFileDialogService(this); }
    ~ScriptedFileDialogs() override { setFileDialogService(nullptr); }
    QString openFileName(QWidget*, const QString&, const QString&) override { return next(); }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return next(); }
    int chooseItem(QWidget*, const QString&, const QString&, const QStringList&, int) override {
        return -1;
    }
    QStringList answers;

  private:
    QString next() { return answers.isEmpty() ? QString() : answers.takeFirst(); }
};
