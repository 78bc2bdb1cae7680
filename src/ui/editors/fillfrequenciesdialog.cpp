#include "fillfrequenciesdialog.h"

#include "core/config/messages.h"
#include "core/config/modelband.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {
// A comma typed (the decimal separator of many keyboards) is the point: dropped, "12,5"
// would quietly become 125.
class NumberValidator : public QRegularExpressionValidator {
  public:
    using QRegularExpressionValidator::QRegularExpressionValidator;
    State validate(QString& input, int& pos) const override {
        input.replace(QLatin1Char(','), QLatin1Char('.'));
        return QRegularExpressionValidator::validate(input, pos);
    }
};

QLineEdit* numberBox(const char* name, const QString& text, bool mayBeNegative, QWidget* parent) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(QLatin1String(name));
    const QString pattern =
        mayBeNegative ? QStringLiteral("-?[0-9]*\\.?[0-9]*") : QStringLiteral("[0-9]*\\.?[0-9]*");
    box->setValidator(new NumberValidator(QRegularExpression(pattern), box));
    return box;
}
double numberIn(const QLineEdit* box) {
    double v = 0;
    isNumericText(box->text(), &v);
    return v;
}
} // namespace

FillFrequenciesDialog::FillFrequenciesDialog(const QString& firstRx, bool offsetAllowed,
                                             QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmFillFrequencies"));
    setWindowTitle(tr2("Fill Frequencies", "填充频率"));
    m_firstRx = numberBox("txtFirstRx", firstRx, false, this);
    // A negative step fills downwards.
    m_step = numberBox("txtStepKhz", QStringLiteral("10"), true, this);
    m_txEqualsRx = new QRadioButton(tr2("TX equal to RX", "发射频率等于接收频率"), this);
    m_txEqualsRx->setObjectName(QStringLiteral("optTxEqualsRx"));
    m_txEqualsRx->setChecked(true);
    m_txOffset = new QRadioButton(tr2("TX offset from RX (kHz):", "发射频率偏移 (kHz)："), this);
    m_txOffset->setObjectName(QStringLiteral("optTxOffset"));
    m_offset = numberBox("txtTxOffsetKhz", QStringLiteral("0"), true, this);
    m_offset->setEnabled(false);
    // While RX and TX are linked a channel cannot hold two frequencies.
    m_txOffset->setEnabled(offsetAllowed);

    auto* form = new QFormLayout;
    form->addRow(tr2("First RX (MHz):", "起始接收频率 (MHz)："), m_firstRx);
    form->addRow(tr2("Step (kHz):", "步进 (kHz)："), m_step);
    form->addRow(m_txEqualsRx);
    form->addRow(m_txOffset, m_offset);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->button(QDialogButtonBox::Ok)->setText(tr2("OK", "确定"));
    m_buttons->button(QDialogButtonBox::Cancel)->setText(tr2("Cancel", "取消"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_buttons);

    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_txOffset, &QRadioButton::toggled, m_offset, &QLineEdit::setEnabled);
    for (QLineEdit* box : {m_firstRx, m_step, m_offset})
        connect(box, &QLineEdit::textChanged, this, &FillFrequenciesDialog::updateOk);
    connect(m_txOffset, &QRadioButton::toggled, this, &FillFrequenciesDialog::updateOk);
    updateOk();
    m_firstRx->selectAll();
}

void FillFrequenciesDialog::updateOk() {
    bool ok = isNumericText(m_firstRx->text()) && isNumericText(m_step->text());
    if (m_txOffset->isChecked()) ok = ok && isNumericText(m_offset->text());
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(ok);
}

double FillFrequenciesDialog::firstRxMhz() const {
    return numberIn(m_firstRx);
}
double FillFrequenciesDialog::stepKhz() const {
    return numberIn(m_step);
}
double FillFrequenciesDialog::txOffsetKhz() const {
    return m_txOffset->isChecked() ? numberIn(m_offset) : 0;
}
