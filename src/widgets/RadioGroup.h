#pragma once
// A captioned group of radio buttons with one chosen item, by index.

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;

namespace corvane {

class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);

    int itemIndex() const;
    void setItemIndex(int index); // out of range: nothing chosen
    int count() const;

signals:
    void itemIndexChanged(int index);

private:
    QButtonGroup* m_buttons;
};

} // namespace corvane
