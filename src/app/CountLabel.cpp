#include "app/CountLabel.h"

#include <QAccessibleWidget>

namespace kalvex {

namespace {

class CountAccessible : public QAccessibleWidget {
public:
    explicit CountAccessible(QWidget* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text kind) const override {
        const QString count = static_cast<QLabel*>(widget())->text();
        if (kind == QAccessible::Name)
            return QStringLiteral("Number of pieces: ") + count;
        if (kind == QAccessible::Value)
            return count;
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* accessibleCount(const QString& className, QObject* object) {
    if (className == QLatin1String(CountLabel::staticMetaObject.className()))
        return new CountAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

CountLabel::CountLabel(QWidget* parent) : QLabel(parent) {
    static const bool installed = (QAccessible::installFactory(accessibleCount), true);
    Q_UNUSED(installed);
}

} // namespace kalvex
