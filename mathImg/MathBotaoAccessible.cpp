#include "mathImg/MathBotaoAccessible.h"

#include <QAccessibleWidget>

#include "mathImg/MathBotao.h"

namespace zel {
namespace {

class TMathBotaoAccessible : public QAccessibleWidget {
public:
    explicit TMathBotaoAccessible(TMathBotao* button) : QAccessibleWidget(button, QAccessible::Button) {}

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        if (Button()->ManterClicado) {
            s.checkable = true;
            s.checked = Button()->Checked();
        }
        return s;
    }
    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (Button()->isEnabled()) names.prepend(pressAction());
        return names;
    }
    void doAction(const QString& actionName) override {
        if (actionName == pressAction())
            Button()->Press();
        else
            QAccessibleWidget::doAction(actionName);
    }

private:
    TMathBotao* Button() const { return static_cast<TMathBotao*>(widget()); }
};

QAccessibleInterface* MathBotaoFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(TMathBotao::staticMetaObject.className()) && object && object->isWidgetType())
        return new TMathBotaoAccessible(static_cast<TMathBotao*>(object));
    return nullptr;
}

}  // namespace

void InstallMathBotaoAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(MathBotaoFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace zel
