// The "ditado" page: the text the dictation model is made from.

#include "app/Form1.h"

#include <QPlainTextEdit>
#include <QStackedWidget>

#include "app/FormParts.h"
#include "commands/TextFile.h"
#include "mathImg/MathBotao.h"

namespace zel {

void TForm1::CreateDitadoPage() {
    pageDitado = NewPage(abook, "ditado");
    QWidget* p = pageDitado;
    mmoDitado = Named(new QPlainTextEdit(p), "mmoDitado", QRect(16, 12, 476, 294));
    mmoDitado->setFrameShape(QFrame::NoFrame);
    mmoDitado->setLineWrapMode(QPlainTextEdit::NoWrap);
    mmoDitado->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmoDitado->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    btnCarregarDitado = NewButton(p, "btnCarregarDitado", QStringLiteral("carregar"), QRect(16, 316, 140, 30), true);
    btnLimparDitado = NewButton(p, "btnLimparDitado", QStringLiteral("limpar"), QRect(172, 316, 140, 30), true);
    MathBotao3 = NewButton(p, "MathBotao3", QStringLiteral("voltar"), QRect(352, 316, 140, 30), true);
    btnCarregarDitado->OnClick = [this] { btnCarregarDitadoClick(); };
    btnLimparDitado->OnClick = [this] { btnLimparDitadoClick(); };
    MathBotao3->OnClick = [this] { btnVoltarClick(); };
}

}  // namespace zel
