#include "filedialogs.h"

#include <QFileDialog>

namespace {
class QtFileDialogs : public FileDialogService {
  public:
    QString openFileName(QWidget* parent, const QString& startPath,
                         const QString& filter) override {
        return QFileDialog::getOpenFileName(parent, QString(), startPath, filter);
    }

    QString saveFileName(QWidget* parent, const QString& startPath,
                         const QString& filter) override {
        QFileDialog dialog(parent, QString(), startPath, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // A name typed without extension is saved as a data file.
        dialog.setDefaultSuffix(QStringLiteral("dat"));
        if (!startPath.isEmpty()) dialog.selectFile(startPath);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
        return dialog.selectedFiles().constFirst();
    }
};

FileDialogService* g_service = nullptr;
} // namespace

FileDialogService& fileDialogs() {
    static QtFileDialogs fallback;
    return g_service ? *g_service : fallback;
}

void setFileDialogService(FileDialogService* service) {
    g_service = service;
}
