#include "printlistwindow.h"

#include "core/channels/channelrules.h"
#include "core/config/document.h"
#include "core/config/messages.h"
#include "report/printtexts.h"
#include "ui/common/printdialogs.h"
#include "ui/common/uicommon.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {
// The window's captions: the print texts in English, the window's own Chinese captions in
// Chinese.
QString caption(const QString& english, const char* chinese) {
    return currentLanguage() == LanguageChinese ? QString::fromUtf8(chinese) : english;
}
QString caption(PrintText english, const char* chinese) {
    return caption(printText(english, LanguageEnglish), chinese);
}

// A channel number box as typed: 1..60, else 0.
int channelNumber(const QLineEdit* box) {
    bool ok = false;
    const int n = box->text().trimmed().toInt(&ok);
    return ok && n >= 1 && n <= ChannelsPerGroup ? n : 0;
}
} // namespace

PrintListWindow::PrintListWindow(const Document& doc, QWidget* parent)
    : QDialog(parent), m_doc(doc) {
    setObjectName(QStringLiteral("FrmPrintList"));
    setModal(true);
    setWindowTitle(caption(QStringLiteral("Print List"), "打印列表"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buildItems());
    layout->addLayout(buildButtons());
}

// The items, each with its box: two channel lines (group and channel range), the optional
// features, the local information and the embedded message.
QGridLayout* PrintListWindow::buildItems() {
    auto* grid = new QGridLayout;
    const auto check = [this](int i, const QString& text) {
        auto* c = new QCheckBox(text, this);
        c->setObjectName(QStringLiteral("Check1_%1").arg(i));
        m_itemChecks[size_t(i)] = c;
        return c;
    };
    const auto text = [this](int i, const char* value) {
        auto* t = new QLineEdit(QString::fromLatin1(value), this);
        t->setObjectName(QStringLiteral("Text1_%1").arg(i));
        t->setMaxLength(2);
        t->setFixedWidth(40);
        t->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,2}")), t));
        m_rangeBoxes[size_t(i)] = t;
        return t;
    };
    const auto label = [this](const QString& name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(name);
        return l;
    };
    // Each of the two channel lines prints one of the six groups, A and B unless chosen.
    for (int line = 0; line < 2; ++line) {
        const QString item = printText(PrintText::ChannelGroupItem, LanguageEnglish) +
                             QLatin1Char(' ') + QString::number(line + 1);
        grid->addWidget(check(line, caption(item, line == 0 ? "信道信息-组1" : "信道信息-组2")),
                        line, 0);
        auto* group = new QComboBox(this);
        group->setObjectName(QStringLiteral("Combo1_%1").arg(line));
        for (int g = 0; g < GroupCount; ++g)
            group->addItem(groupLetter(g));
        group->setCurrentIndex(line);
        m_groupLists[size_t(line)] = group;
        grid->addWidget(group, line, 1);
        grid->addWidget(label(QStringLiteral("Label1_%1").arg(line),
                              caption(PrintText::RangeLabel, "开始--终止")),
                        line, 2);
        grid->addWidget(text(2 * line, "1"), line, 3);
        grid->addWidget(label(QStringLiteral("Label2_%1").arg(line), QStringLiteral("--")), line,
                        4);
        grid->addWidget(text(2 * line + 1, "40"), line, 5);
        // The range boxes say which line and which end of the range they hold.
        const QString lineName = m_itemChecks[size_t(line)]->text();
        m_rangeBoxes[size_t(2 * line)]->setAccessibleName(lineName +
                                                          tr2(", first channel", "，开始信道"));
        m_rangeBoxes[size_t(2 * line + 1)]->setAccessibleName(lineName +
                                                              tr2(", last channel", "，终止信道"));
        group->setAccessibleDescription(lineName + tr2(", group", "，组"));
    }
    grid->addWidget(check(2, caption(PrintText::OptionItem, "可选功能")), 2, 0);
    grid->addWidget(check(3, caption(PrintText::LocalInfoItem, "本机信息")), 3, 0);
    grid->addWidget(check(4, caption(PrintText::MessageItem, "嵌入信息")), 4, 0);
    grid->setColumnStretch(6, 1); // the boxes stay together at the left
    return grid;
}

QHBoxLayout* PrintListWindow::buildButtons() {
    auto* buttons = new QHBoxLayout;
    const struct {
        const char* name;
        QString caption;
    } captions[] = {{"CommandSelAll", caption(PrintText::SelectAll, "选择所有")},
                    {"CommandClrAll", caption(PrintText::ClearAll, "清除所有")},
                    {"CommandSet", caption(PrintText::Setup, "设置(&S)")},
                    {"Command1", Caption::ok()},
                    {"Command2", Caption::cancel()}};
    std::array<QPushButton*, 5> button{};
    for (size_t i = 0; i < std::size(captions); ++i) {
        auto* b = new QPushButton(captions[i].caption, this);
        b->setObjectName(QLatin1String(captions[i].name));
        b->setAutoDefault(false);
        buttons->addWidget(b);
        button[i] = b;
    }
    button[3]->setDefault(true);
    connect(button[0], &QPushButton::clicked, this, [this] { setAllChecked(true); });
    connect(button[1], &QPushButton::clicked, this, [this] { setAllChecked(false); });
    connect(button[2], &QPushButton::clicked, this, &PrintListWindow::setupPrinter);
    connect(button[3], &QPushButton::clicked, this, &PrintListWindow::printSelected);
    connect(button[4], &QPushButton::clicked, this, &QDialog::reject);
    return buttons;
}

PrintListWindow::~PrintListWindow() = default;

void PrintListWindow::setAllChecked(bool on) {
    for (QCheckBox* c : m_itemChecks)
        c->setChecked(on);
}

QPrinter& PrintListWindow::printer() {
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        Report::setupPage(*m_printer);
        const QFileInfo file(QDir::home(), m_doc.fileName());
        m_printer->setDocName(file.fileName());
        // Without an installed printer the printout goes to a PDF file beside the data file.
        if (QPrinterInfo::availablePrinterNames().isEmpty()) {
            m_printer->setOutputFormat(QPrinter::PdfFormat);
            m_printer->setOutputFileName(file.absolutePath() + QLatin1Char('/') +
                                         file.completeBaseName() + QLatin1String(".pdf"));
        }
    }
    return *m_printer;
}

void PrintListWindow::setupPrinter() {
    printDialogs().pageSetup(this, printer());
}

std::optional<PrintSelection> PrintListWindow::selection() {
    PrintSelection s;
    for (int line = 0; line < 2; ++line) {
        if (!m_itemChecks[size_t(line)]->isChecked()) continue;
        QLineEdit* startBox = m_rangeBoxes[size_t(2 * line)];
        QLineEdit* endBox = m_rangeBoxes[size_t(2 * line + 1)];
        const int start = channelNumber(startBox);
        const int end = channelNumber(endBox);
        if (start == 0 || end == 0 || start > end) {
            showMessage(tr2("Channel range of line %1: enter channel numbers 1 to 60, the start "
                            "not above the end.",
                            "第%1行的信道范围：请输入 1 到 60 的信道号，开始不能大于终止。")
                            .arg(line + 1),
                        MsgIcon::Warning);
            QLineEdit* bad = start == 0 || (end != 0 && start > end) ? startBox : endBox;
            bad->setFocus();
            bad->selectAll();
            return std::nullopt;
        }
        s.channels.append({m_groupLists[size_t(line)]->currentIndex(), start, end});
    }
    s.options = m_itemChecks[2]->isChecked();
    s.localInfo = m_itemChecks[3]->isChecked();
    s.message = m_itemChecks[4]->isChecked();
    return s;
}

void PrintListWindow::printSelected() {
    const std::optional<PrintSelection> s = selection();
    if (!s) return;
    if (s->isEmpty()) {
        showMessage(Msg::SelectPrintItems, MsgIcon::Warning);
        return;
    }
    const Report report(m_doc, *s, currentLanguage());
    if (printDialogs().preview(this, printer(), report)) accept();
}
