#pragma once

class QPrinter;
class QWidget;
class Report;

// The printer setup and the print preview of the print list. The windows ask through the
// installed service; tests install one that answers at once, so no dialog ever waits for a
// user.
class PrintDialogService {
  public:
    virtual ~PrintDialogService() = default;
    // Paper, orientation and margins of printer; false when the user cancelled.
    virtual bool pageSetup(QWidget* parent, QPrinter& printer) = 0;
    // Shows report on printer's pages; from there the user prints it or saves it as a PDF
    // file. True when it was printed or saved.
    virtual bool preview(QWidget* parent, QPrinter& printer, const Report& report) = 0;
};

// Prints report on printer. When the printer makes a PDF file, the file is written whole or not
// at all: on failure a file of that name stays as it was, and "file error." names it and the
// system's reason. False when the PDF file could not be written.
bool printReport(QPrinter& printer, const Report& report);

// The installed service; without one, Qt's page setup and print preview dialogs.
PrintDialogService& printDialogs();
// Installs a service (nullptr restores the default). The caller keeps ownership.
void setPrintDialogService(PrintDialogService* service);
