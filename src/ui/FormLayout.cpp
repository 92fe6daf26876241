#include "ui/FormLayout.h"

namespace kestrel {

QLabel* MakeLabel(QWidget* parent, const char* caption, Qt::Alignment align) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setAlignment(align | Qt::AlignVCenter);
    return label;
}

QLineEdit* MakeBox(QWidget* parent, const char* text) {
    auto* box = new QLineEdit(QString::fromUtf8(text), parent);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return box;
}

void SetUpFixedDialog(QWidget* window, const QString& title, int widthTwips, int heightTwips) {
    window->setWindowTitle(title);
    window->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint);
    window->setFont(UiFont());
    window->setFixedSize(Px(widthTwips), Px(heightTwips));
}

}  // namespace kestrel
