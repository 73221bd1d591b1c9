// The "apres" page: the logo; a click on it leads to the menu.

#include "app/Form1.h"

#include <QLabel>
#include <QStackedWidget>

#include "app/FormParts.h"

namespace zel {

void TForm1::CreateApresPage() {
    pageApres = NewPage(abook, "apres");
    Image1 = Named(new QLabel(pageApres), "Image1", QRect(0, 0, 508, 364));
    Image1->setPixmap(QPixmap::fromImage(SkinImage(QStringLiteral("logo"))));
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->installEventFilter(this);
}

}  // namespace zel
