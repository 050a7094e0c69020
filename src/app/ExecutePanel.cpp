#include "app/ExecutePanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "io/TextUtil.h"
#include "widgets/EditControls.h"

namespace corvane {

namespace {
const QString StartHint = QStringLiteral("Run the program from its first line");
}

ExecutePanel::ExecutePanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pExecute"));

    bStart = new QPushButton(QStringLiteral("Start"), this);
    bStart->setObjectName(QStringLiteral("bStart"));
    bStart->setToolTip(StartHint);
    bStart->setEnabled(false);
    cbTrace = new QCheckBox(QStringLiteral("Trace"), this);
    cbTrace->setObjectName(QStringLiteral("cbTrace"));
    cbTrace->setToolTip(QStringLiteral("Execute one line per click of Start"));
    ieProgramLine = new TIntEdit(this);
    ieProgramLine->setObjectName(QStringLiteral("ieProgramLine"));
    ieProgramLine->setToolTip(QStringLiteral("Line the next run or step begins with"));
    ieProgramLine->setFixedWidth(ieProgramLine->fontMetrics().horizontalAdvance(QStringLiteral("000000")) +
                                 12);
    ieProgramLine->setText(lineText(0));
    cbObject = new QComboBox(this);
    cbObject->setObjectName(QStringLiteral("cbObject"));
    cbObject->setToolTip(QStringLiteral("Movie object"));
    cbObject->setMinimumContentsLength(4);
    cbButton = new QComboBox(this);
    cbButton->setObjectName(QStringLiteral("cbButton"));
    cbButton->setToolTip(QStringLiteral("Button"));
    cbButton->setMinimumContentsLength(4);
    cbButton->hide();

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bStart);
    layout->addWidget(cbTrace);
    auto* line = new QLabel(QStringLiteral("Line"), this);
    line->setBuddy(ieProgramLine);
    layout->addWidget(line);
    layout->addWidget(ieProgramLine);
    layout->addWidget(cbObject);
    layout->addWidget(cbButton);

    connect(cbTrace, &QCheckBox::clicked, this,
            [this](bool checked) { bStart->setToolTip(checked ? QString() : StartHint); });
    connect(ieProgramLine, &QLineEdit::textEdited, this, [this] {
        const int cursorFromEnd = int(ieProgramLine->text().size()) - ieProgramLine->cursorPosition();
        const QString text = lineText(ieProgramLine->value());
        if (text == ieProgramLine->text()) return;
        ieProgramLine->setText(text);
        ieProgramLine->setCursorPosition(qMax(0, int(text.size()) - cursorFromEnd));
    });
    connect(ieProgramLine, &QLineEdit::editingFinished, this, [this] { emit lineEntered(typedLine()); });
    connect(ieProgramLine, &QLineEdit::returnPressed, this, [this] { bStart->setFocus(); });
}

QString ExecutePanel::lineText(int line) {
    if (line < 0)
        return QLatin1Char('-') + QString::fromStdString(zeroPad(
                                      static_cast<std::uint64_t>(-static_cast<std::int64_t>(line)), 3));
    return QString::fromStdString(zeroPad(static_cast<std::uint64_t>(line), 4));
}

void ExecutePanel::showLine(int line) {
    ieProgramLine->setText(lineText(line));
}

int ExecutePanel::typedLine() const {
    return ieProgramLine->value();
}

void ExecutePanel::setTraceRunning(bool running) {
    QFont font = bStart->font();
    font.setBold(running);
    bStart->setFont(font);
}

bool ExecutePanel::traceRunning() const {
    return bStart->font().bold();
}

void ExecutePanel::setObjectCount(int count) {
    const int selected = cbObject->currentIndex();
    QStringList numbers;
    numbers.reserve(count);
    for (int i = 0; i < count; ++i) numbers << lineText(i);
    const QSignalBlocker quiet(cbObject);
    cbObject->clear();
    cbObject->addItems(numbers);
    cbObject->setCurrentIndex(selected < count ? selected : (count > 0 ? 0 : -1));
}

void ExecutePanel::setButtonTexts(const std::vector<std::string>& items) {
    const QSignalBlocker quiet(cbButton);
    cbButton->clear();
    // The list is indexed by button id: each item keeps its id as its data.
    for (std::size_t id = 0; id < items.size(); ++id)
        cbButton->addItem(QString::fromStdString(items[id]), static_cast<int>(id));
    cbButton->setCurrentIndex(items.empty() ? -1 : 0);
}

bool ExecutePanel::selectButtonId(std::size_t id) {
    const int index = cbButton->findData(static_cast<int>(id));
    if (index < 0) return false;
    cbButton->setCurrentIndex(index);
    return true;
}

int ExecutePanel::chosenButtonId() const {
    const QVariant id = cbButton->currentData();
    return id.isValid() ? id.toInt() : -1;
}

void ExecutePanel::showButtonPicker(bool buttons) {
    cbObject->setVisible(!buttons);
    cbButton->setVisible(buttons);
}

} // namespace corvane
