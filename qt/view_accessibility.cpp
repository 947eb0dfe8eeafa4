#include "qt/view_accessibility.h"

#include <QAccessibleWidget>
#include <QWidget>

#include "qt/view.h"

namespace gombocok {
namespace {

class SelectableAccessible : public QAccessibleWidget {
public:
    SelectableAccessible(QWidget* widget, Selectable& item)
        : QAccessibleWidget(widget, QAccessible::ListItem), item_(item) {}

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.selectable = true;
        s.selected = item_.chosen();
        return s;
    }
    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction())
            item_.choose();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    Selectable& item_;
};

QAccessibleInterface* viewAccessible(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget) return nullptr;
    if (auto* view = dynamic_cast<View*>(object))
        return new QAccessibleWidget(widget, view->accessibleRole());
    if (auto* item = dynamic_cast<Selectable*>(object))
        return new SelectableAccessible(widget, *item);
    if (dynamic_cast<Notice*>(object))
        return new QAccessibleWidget(widget, QAccessible::Notification);
    return nullptr;
}

}  // namespace

void installViewAccessibility() {
    // Qt keeps one entry per factory function.
    QAccessible::installFactory(viewAccessible);
}

}  // namespace gombocok
