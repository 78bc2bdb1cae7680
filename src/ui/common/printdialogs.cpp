#include "printdialogs.h"

#include "core/config/messages.h"
#include "core/io/wholefile.h"
#include "report/report.h"

#include <QAction>
#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QPaintEngine>
#include <QPdfWriter>

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
                         [&report](QPrinter* target) { printReport(*target, report); });
        return dialog.exec() == QDialog::Accepted;
    }
};

PrintDialogService* g_service = nullptr;
} // namespace

bool printReport(QPrinter& printer, const Report& report) {
    // The preview draws through an engine of its own; only the real printout goes to the file.
    const bool pdfFile = printer.outputFormat() == QPrinter::PdfFormat &&
                         !printer.outputFileName().isEmpty() && printer.paintEngine() &&
                         printer.paintEngine()->type() == QPaintEngine::Pdf;
    if (!pdfFile) return report.render(printer);
    // Qt's PDF printer writes straight into the file; the same pages are made in memory with
    // the printer's page and resolution instead, then written whole.
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    bool laidOut = false;
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(printer.resolution());
        writer.setPageLayout(printer.pageLayout());
        writer.setTitle(printer.docName());
        writer.setCreator(printer.creator());
        laidOut = report.render(writer);
    }
    const QString path = printer.outputFileName();
    QString why = QStringLiteral("the report cannot be laid out");
    if (laidOut && writeWholeFile(path, pdf, &why)) return true;
    showMessage(Msg::FileError, MsgIcon::Critical, MsgButtons::Ok,
                QDir::toNativeSeparators(path) + QStringLiteral(": ") + why);
    return false;
}

PrintDialogService& printDialogs() {
    static QtPrintDialogs fallback;
    return g_service ? *g_service : fallback;
}

void setPrintDialogService(PrintDialogService* service) {
    g_service = service;
}
