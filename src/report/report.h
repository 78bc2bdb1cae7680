#pragma once

#include "core/config/document.h"

#include <QList>
#include <QString>
#include <memory>

class QPagedPaintDevice;
class QTextDocument;

// What a printout holds: channel groups, each with a range of channel numbers, and the
// optional features, the local information and the embedded message.
struct ChannelRange {
    int group = 0; // 0..5: A..F
    int first = 1; // channel numbers first..last, 1..60
    int last = ChannelsPerGroup;
};

struct PrintSelection {
    QList<ChannelRange> channels;
    bool options = false;
    bool localInfo = false; // "Local Information": the two message lines
    bool message = false;   // "Embedded Message": the radio's model data the file holds

    bool isEmpty() const { return channels.isEmpty() && !options && !localInfo && !message; }
    // The whole configuration: every group with every channel and every section.
    static PrintSelection everything();
};

// The printed report of a configuration: headings and labels from the print texts and the
// editor windows' words, in one language. Built once from the configuration as it is; it
// can then be painted on any paged device (a PDF file, a printer, the print preview).
class Report {
  public:
    Report(const Document& doc, const PrintSelection& selection, int language);
    ~Report();
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    const PrintSelection& selection() const { return m_selection; }
    int language() const { return m_language; }
    // "MERIDOX Radio Programming Information", with the program's product name.
    QString heading() const { return m_heading; }
    // "File Name: new.dat"
    QString fileLine() const { return m_fileLine; }
    // The report's body (without the page heading) as rich text and as plain text.
    QString html() const { return m_html; }
    QString plainText() const;

    // Lays the report out on the device's pages and paints it: the heading and the file name
    // at the top of every page, "Page n of m" at the bottom. False when the device cannot be
    // painted on (a file that cannot be written). The device should have its page size and
    // margins set; setupPage() gives the defaults of a printout.
    bool render(QPagedPaintDevice& device) const;
    // Pages of the last render.
    int pageCount() const { return m_pages; }

    // A4 portrait with 15 mm margins.
    static void setupPage(QPagedPaintDevice& device);

  private:
    PrintSelection m_selection;
    int m_language;
    QString m_heading;
    QString m_fileLine;
    QString m_html;
    mutable int m_pages = 0;
};

// Writes the report as a PDF file (A4); the reason for a failure goes to why.
bool writeReportPdf(const Report& report, const QString& path, QString* why = nullptr);
