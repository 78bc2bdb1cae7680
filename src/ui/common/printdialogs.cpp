#include "printdialogs.h"

#include "report/report.h"

#include <QAction>
#include <QGuiApplication>
#include <QPageSetupDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>

namespace {
// The preview opens large enough to read a page, fitted to the width, rather than a whole
// page shrunk into the dialog's small default size.
void showReadable(QPrintPreviewDialog& dialog, QWidget* parent) {
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        dialog.resize(area.width() * 3 / 4, area.height() * 9 / 10);
    }
    if (auto* fitWidth = dialog.findChild<QAction*>(QStringLiteral("fitWidthAction")))
        fitWidth->trigger();
}

class QtPrintDialogs : public PrintDialogService {
  public:
    bool pageSetup(QWidget* parent, QPrinter& printer) override {
        QPageSetupDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    }

    bool preview(QWidget* parent, QPrinter& printer, const Report& report) override {
        QPrintPreviewDialog dialog(&printer, parent);
        dialog.setWindowTitle(report.heading());
        showReadable(dialog, parent);
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                         [&report](QPrinter* target) { report.render(*target); });
        return dialog.exec() == QDialog::Accepted;
    }
};

PrintDialogService* g_service = nullptr;
} // namespace

PrintDialogService& printDialogs() {
    static QtPrintDialogs fallback;
    return g_service ? *g_service : fallback;
}

void setPrintDialogService(PrintDialogService* service) {
    g_service = service;
}
