// The "ditado" page: the text the dictation model is made from.

#include "app/Form1.h"

#include <QPlainTextEdit>
#include <QStackedWidget>

#include "app/FormParts.h"
#include "commands/TextFile.h"
#include "mathImg/MathBotao.h"

namespace zel {

void TForm1::CreateDitadoPage() {
    pageDitado = new QWidget;
    pageDitado->setObjectName(QStringLiteral("ditado"));
    abook->addWidget(pageDitado);
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

void TForm1::btnLimparDitadoClick() {
    mmoDitado->clear();
}

std::vector<std::string> TForm1::DitadoLines() const {
    std::vector<std::string> lines;
    const QString text = mmoDitado->toPlainText();
    if (text.isEmpty()) return lines;
    for (const QString& line : text.split(QLatin1Char('\n'))) lines.push_back(C(line));
    return lines;
}

void TForm1::SetDitadoLines(const std::vector<std::string>& lines) {
    QStringList list;
    for (const auto& l : lines) list << Q(l);
    mmoDitado->setPlainText(list.join(QLatin1Char('\n')));
}

void TForm1::btnCarregarDitadoClick() {
    auto file = Choose(*dlgAbrirDitado);
    if (!file) return;
    const std::string name = C(*file);
    // The extension: from the last full stop of the name on, compared byte for byte.
    const std::string base = name.substr(name.find_last_of('/') == std::string::npos ? 0 : name.find_last_of('/') + 1);
    const size_t dot = base.find_last_of('.');
    const std::string ext = dot == std::string::npos ? std::string() : base.substr(dot);
    if (ext == ".zlm") {
        SetDitadoLines(ReadLines(name));
        return;
    }
    services_.LoadDictationCorpus(name, PastaExe);
    SetDitadoLines(ReadLines(PastaExe + "zellm.zlm"));
}

}  // namespace zel
