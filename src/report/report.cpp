#include "report.h"

#include "core/channels/channelrules.h"
#include "core/channels/optiontables.h"
#include "core/config/messages.h"
#include "core/config/optionwords.h"
#include "core/io/wholefile.h"
#include "printtexts.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <algorithm>

namespace {

// Body text size of the printout, in points: a dealer's sheet read at arm's length.
constexpr double BodyPoints = 9.5;
constexpr double HeadingPoints = 14;

QString esc(const QString& s) {
    return s.toHtmlEscaped();
}

// A table cell; width in percent of the page, set on a table's first row.
QString cell(const QString& s, const char* align = "left", int width = 0) {
    const QString w = width > 0 ? QStringLiteral(" width=\"%1%\"").arg(width) : QString();
    return QStringLiteral("<td align=\"%1\"%2>%3</td>").arg(QLatin1String(align), w, esc(s));
}

QString tableStart() {
    return QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
                          "width=\"100%\" style=\"border-collapse: collapse; "
                          "border-color: #000000;\">");
}

// Channel places of group g, ordered by channel number.
QList<const ChannelEntry*> channelsOf(const Document& doc, int g) {
    QList<const ChannelEntry*> out;
    const int count =
        std::clamp<int>(doc.config().groupChannelCount[size_t(g)], 0, ChannelsPerGroup);
    for (int place = 1; place <= count; ++place)
        out << &doc.config().entry(g, place);
    std::stable_sort(out.begin(), out.end(), [](const ChannelEntry* a, const ChannelEntry* b) {
        return a->channelNo < b->channelNo;
    });
    return out;
}

// The emergency channel of group g as its list shows it: the stored channel when the group
// has it, else the group's lowest channel, else nothing.
QString emergencyChannel(const Document& doc, int g) {
    const QList<const ChannelEntry*> channels = channelsOf(doc, g);
    if (channels.isEmpty()) return {};
    const int stored = doc.config().optionWords[size_t(OptionWord::FirstEmergencyChannel + g)] + 1;
    for (const ChannelEntry* e : channels)
        if (e->channelNo == stored) return QString::number(stored);
    return QString::number(channels.first()->channelNo);
}

QString onOff(bool on, int language) {
    return printText(on ? PrintText::On : PrintText::Off, language);
}

QString sectionHeading(const QString& title) {
    return QStringLiteral("<h2>%1</h2>").arg(esc(title));
}

QString channelSection(const Document& doc, const ChannelRange& range, int language) {
    const auto t = [language](const char* en, const char* zh) { return tr2In(language, en, zh); };
    const bool older = doc.product().captions == Product::Captions::Older;
    const int g = std::clamp(range.group, 0, GroupCount - 1);
    QString html = sectionHeading(printText(PrintText::ChannelGroupItem, language) +
                                  QLatin1Char(' ') + groupLetter(g));
    QString info = printText(PrintText::RangeLabel, language) +
                   QStringLiteral(": %1 -- %2").arg(range.first).arg(range.last);
    if (!older) {
        const QString emergency = emergencyChannel(doc, g);
        if (!emergency.isEmpty())
            info = esc(info) + QStringLiteral("&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;") +
                   esc(t("Emergency Channel", "紧急信道") + QStringLiteral(": ") + emergency);
        else
            info = esc(info);
    } else {
        info = esc(info);
    }
    html += QStringLiteral("<p>%1</p>").arg(info);

    QList<const ChannelEntry*> shown;
    for (const ChannelEntry* e : channelsOf(doc, g))
        if (e->channelNo >= range.first && e->channelNo <= range.last) shown << e;
    if (shown.isEmpty()) {
        html += QStringLiteral("<p>%1</p>")
                    .arg(esc(t("No channels in this range.", "此范围内没有信道。")));
        return html;
    }

    const QStringList headers = channelColumnHeaders(older, language);
    html += tableStart() + QStringLiteral("<thead><tr bgcolor=\"#e6e6e6\">");
    for (const QString& h : headers)
        html += QStringLiteral("<th>%1</th>").arg(esc(h));
    html += QStringLiteral("</tr></thead>");
    for (const ChannelEntry* e : shown) {
        html += QStringLiteral("<tr>") + cell(QString::number(e->channelNo), "center") +
                cell(shownFrequency(doc, e->rxFreq.text()), "center") +
                cell(shownFrequency(doc, e->txFreq.text()), "center");
        for (int f = 1; f <= 7; ++f)
            html += cell(onOff(e->channelFlags[size_t(f)] == 1, language), "center");
        html += cell(e->scanFlag == 1 ? t("Add", "添加") : t("Del", "删除"), "center") +
                QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
    return html;
}

QString optionSection(const Document& doc, int language) {
    const auto t = [language](const char* en, const char* zh) { return tr2In(language, en, zh); };
    const bool older = doc.product().captions == Product::Captions::Older;
    // Left half: the lists (and solvir's emergency channels); right half: the check boxes.
    QList<QPair<QString, QString>> left;
    QList<QPair<QString, QString>> right;
    for (int k = 0; k < OptionTables::ListCount; ++k)
        if (OptionTables::hasList(doc, k))
            left.append({OptionTables::listLabel(k, older, language),
                         OptionTables::shownListEntry(doc, k, language)});
    if (older)
        for (int g = 0; g < GroupCount; ++g)
            left.append({t("Emergency Channel", "紧急信道") + QLatin1Char(' ') + groupLetter(g),
                         emergencyChannel(doc, g)});
    for (int k = 0; k < OptionTables::CheckCount; ++k) {
        if (!OptionTables::hasCheck(doc, k)) continue;
        const int word = doc.config().optionWords[size_t(OptionTables::checkSetting(k).word)];
        right.append({OptionTables::checkLabel(k, older, language),
                      onOff(OptionTables::shownChecked(k, word), language)});
    }

    QString html = sectionHeading(printText(PrintText::OptionItem, language)) + tableStart();
    const qsizetype rows = std::max(left.size(), right.size());
    for (qsizetype r = 0; r < rows; ++r) {
        html += QStringLiteral("<tr>");
        for (const auto* side : {&left, &right}) {
            if (r < side->size())
                html += cell(side->at(r).first) + cell(side->at(r).second, "center");
            else
                html += QStringLiteral("<td></td><td></td>");
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

// "Embedded Message", as the window of that name: what the configuration holds about the radio.
QString radioInfoSection(const Document& doc, int language) {
    const auto t = [language](const char* en, const char* zh) { return tr2In(language, en, zh); };
    const Product& p = doc.product();
    const ModelInfo& mi = doc.config().modelInfo;
    QString created = shownFieldText(mi.createDate.raw());
    const QDate date = QDate::fromString(created, QStringLiteral("yyyyMMdd"));
    if (date.isValid()) created = date.toString(Qt::ISODate);

    QList<QPair<QString, QString>> rows = {
        {t("Product", "产品"), p.productName},
        {t("Model Type", "机型类型"), doc.model().trimmed()},
        {t("Frequency", "频率"), doc.band()},
        {t("Create Date", "创建日期"), created},
        {t("Software Version", "软件版本"), shownFieldText(mi.softwareVersionText.raw())},
    };
    if (p.hasVersionField)
        rows.append(
            {t("Data File Version", "数据文件版本"), shownFieldText(doc.config().version.raw())});

    QString html = sectionHeading(printText(PrintText::MessageItem, language)) + tableStart();
    for (qsizetype i = 0; i < rows.size(); ++i)
        html += QStringLiteral("<tr>") + cell(rows[i].first, "left", i == 0 ? 30 : 0) +
                cell(rows[i].second, "left", i == 0 ? 70 : 0) + QStringLiteral("</tr>");
    return html + QStringLiteral("</table>");
}

// "Local Information", as the window of that name: the two message lines.
QString messageLinesSection(const Document& doc, int language) {
    const auto t = [language](const char* en, const char* zh) { return tr2In(language, en, zh); };
    QString html = sectionHeading(printText(PrintText::LocalInfoItem, language)) + tableStart();
    const QString labels[2] = {t("Line 1", "第1行"), t("Line 2", "第2行")};
    for (int line = 0; line < 2; ++line) {
        const QString shown =
            QString::fromLatin1(doc.config().embeddedMessage[size_t(line)].untilNul());
        // Spaces of a message line are kept as the radio shows them.
        html += QStringLiteral("<tr>") + cell(labels[line], "left", line == 0 ? 30 : 0) +
                QStringLiteral("<td style=\"white-space: pre;\"%1>%2</td>")
                    .arg(line == 0 ? QStringLiteral(" width=\"70%\"") : QString(), esc(shown)) +
                QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

QFont reportFont(double points, bool bold = false) {
    QFont f(QStringLiteral("Sans Serif"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

} // namespace

PrintSelection PrintSelection::everything() {
    PrintSelection s;
    for (int g = 0; g < GroupCount; ++g)
        s.channels.append({g, 1, ChannelsPerGroup});
    s.options = s.localInfo = s.message = true;
    return s;
}

Report::Report(const Document& doc, const PrintSelection& selection, int language)
    : m_selection(selection), m_language(language) {
    m_heading = printText(PrintText::Heading, language).arg(doc.product().productName);
    m_fileLine = printText(PrintText::FileNameLabel, language) + QStringLiteral(": ") +
                 QFileInfo(doc.fileName()).fileName();

    QString body;
    for (const ChannelRange& r : selection.channels)
        body += channelSection(doc, r, language);
    if (selection.options) body += optionSection(doc, language);
    if (selection.localInfo) body += messageLinesSection(doc, language);
    if (selection.message) body += radioInfoSection(doc, language);
    m_html = QStringLiteral("<html><body>") + body + QStringLiteral("</body></html>");
}

Report::~Report() = default;

QString Report::plainText() const {
    QTextDocument doc;
    doc.setHtml(m_html);
    return doc.toPlainText();
}

void Report::setupPage(QPagedPaintDevice& device) {
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageOrientation(QPageLayout::Portrait);
    device.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
}

bool Report::render(QPagedPaintDevice& device) const {
    QPainter painter;
    if (!painter.begin(&device)) return false;

    // Laid out for the device itself, so text is measured as it is drawn.
    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&device);
    doc.setDefaultFont(reportFont(BodyPoints));
    doc.setDefaultStyleSheet(QStringLiteral(
        "h2 { font-size: 12pt; font-weight: bold; margin-top: 14px; margin-bottom: 4px; }"
        "p { margin-top: 0px; margin-bottom: 4px; }"
        "th { font-weight: bold; }"));
    doc.setHtml(m_html);
    doc.setDocumentMargin(0);

    const QFont headingFont = reportFont(HeadingPoints, true);
    const QFont lineFont = reportFont(BodyPoints);
    const QFontMetricsF headingMetrics(headingFont, &device);
    const QFontMetricsF lineMetrics(lineFont, &device);
    const double mm = device.logicalDpiY() / 25.4;
    const QRectF area(0, 0, device.width(), device.height());
    const double headerHeight = headingMetrics.height() + lineMetrics.height() + 5 * mm;
    const double footerHeight = lineMetrics.height() + 4 * mm;
    const QRectF body(0, headerHeight, area.width(), area.height() - headerHeight - footerHeight);
    doc.setPageSize(body.size());
    m_pages = std::max(1, doc.pageCount());

    const QString pageText = tr2In(m_language, "Page %1 of %2", "第 %1 页，共 %2 页");
    for (int page = 0; page < m_pages; ++page) {
        if (page > 0 && !device.newPage()) return false;
        painter.setPen(QPen(Qt::black, 0.3 * mm));
        painter.setFont(headingFont);
        painter.drawText(QRectF(0, 0, area.width(), headingMetrics.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, m_heading);
        painter.setFont(lineFont);
        const QRectF fileRect(0, headingMetrics.height() + 1 * mm, area.width(),
                              lineMetrics.height());
        painter.drawText(fileRect, Qt::AlignLeft | Qt::AlignVCenter, m_fileLine);
        const double rule = fileRect.bottom() + 1.5 * mm;
        painter.drawLine(QPointF(0, rule), QPointF(area.width(), rule));
        painter.drawText(
            QRectF(0, area.height() - lineMetrics.height(), area.width(), lineMetrics.height()),
            Qt::AlignHCenter | Qt::AlignVCenter, pageText.arg(page + 1).arg(m_pages));

        painter.save();
        painter.translate(body.left(), body.top() - page * body.height());
        const QRectF view(0, page * body.height(), body.width(), body.height());
        painter.setClipRect(view);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = view;
        context.palette.setColor(QPalette::Text, Qt::black);
        doc.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    return painter.end();
}

bool writeReportPdf(const Report& report, const QString& path, QString* why) {
    // The PDF is made in memory and then written whole: a disk that cannot take it leaves any
    // earlier file of that name as it was, and no partial one.
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        writer.setTitle(report.heading());
        writer.setCreator(report.heading());
        Report::setupPage(writer);
        if (!report.render(writer)) {
            if (why) *why = QStringLiteral("the report cannot be laid out");
            return false;
        }
    }
    return writeWholeFile(path, pdf, why);
}
