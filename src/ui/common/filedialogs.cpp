#include "filedialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QRegularExpression>

namespace {
class QtFileDialogs : public FileDialogService {
  public:
    QString openFileName(QWidget* parent, const QString& startPath,
                         const QString& filter) override {
        return openFileNameTitled(parent, QString(), startPath, filter);
    }
    QString openFileNameTitled(QWidget* parent, const QString& title, const QString& startPath,
                               const QString& filter) override {
        return QFileDialog::getOpenFileName(parent, title, startPath, filter);
    }

    QString saveFileName(QWidget* parent, const QString& startPath,
                         const QString& filter) override {
        return saveFileNameTitled(parent, QString(), startPath, filter);
    }
    QString saveFileNameTitled(QWidget* parent, const QString& title, const QString& startPath,
                               const QString& filter) override {
        QFileDialog dialog(parent, title, startPath, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // A name typed without extension gets the filter's extension ("Data File (*.dat)").
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter);
        dialog.setDefaultSuffix(m.hasMatch() ? m.captured(1) : QStringLiteral("dat"));
        if (!startPath.isEmpty()) dialog.selectFile(startPath);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        return dialog.selectedFiles().constFirst();
    }
};

FileDialogService* g_service = nullptr;
} // namespace

QString FileDialogService::openFileNameTitled(QWidget* parent, const QString&,
                                              const QString& startPath, const QString& filter) {
    return openFileName(parent, startPath, filter);
}

QString FileDialogService::saveFileNameTitled(QWidget* parent, const QString&,
                                              const QString& startPath, const QString& filter) {
    return saveFileName(parent, startPath, filter);
}

int FileDialogService::chooseItem(QWidget* parent, const QString& title, const QString& label,
                                  const QStringList& items, int current) {
    bool ok = false;
    const QString chosen = QInputDialog::getItem(parent, title, label, items, current, false, &ok);
    return ok ? int(items.indexOf(chosen)) : -1;
}

FileDialogService& fileDialogs() {
    static QtFileDialogs fallback;
    return g_service ? *g_service : fallback;
}

void setFileDialogService(FileDialogService* service) {
    g_service = service;
}
