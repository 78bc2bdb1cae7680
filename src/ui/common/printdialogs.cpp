#include "printdialogs.h"

#include "report/report.h"

#include <QPageSetupDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {
class QtPrintDialogs : public PrintDialogService {
  public:
    bool pageSetup(QWidget* parent, QPrinter& printer) override {
        QPageSetupDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    }

    bool preview(QWidget* parent, QPrinter& printer, const Report& report) override {
        QPrintPreviewDialog dialog(&printer, parent);
        dialog.setWindowTitle(report.heading());
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
