// The "menu" page: the profile, the way to the other pages and the
// recognition switch.

#include "app/Form1.h"

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QStackedWidget>

#include "app/FormParts.h"
#include "app/HeardPanel.h"
#include "app/ListeningLight.h"
#include "app/MicrophonePanel.h"
#include "mathImg/MathBotao.h"

namespace zel {

void TForm1::CreateMenuPage() {
    pageMenu = NewPage(abook, "menu");
    QFont big = font();
    big.setPixelSize(16);
    lblProfile = Named(new QLabel(QString::fromUtf8(kNoProfileCaption), pageMenu), "lblProfile", QRect(0, 14, 508, 24));
    lblProfile->setAlignment(Qt::AlignCenter);
    lblProfile->setFont(big);
    btnCarregarProfile = NewButton(pageMenu, "btnCarregarProfile", QStringLiteral("carregar_profile"), QRect(34, 62, 140, 30), true);
    btnSalvarProfile = NewButton(pageMenu, "btnSalvarProfile", QStringLiteral("salvar_profile"), QRect(34, 104, 140, 30), true);
    BtnComandos = NewButton(pageMenu, "BtnComandos", QStringLiteral("comandos"), QRect(34, 146, 140, 30), true);
    btnDitado = NewButton(pageMenu, "btnDitado", QStringLiteral("ditado"), QRect(34, 188, 140, 30), true);
    btnPreferencias = NewButton(pageMenu, "btnPreferencias", QStringLiteral("preferencias"), QRect(34, 230, 140, 30), true);
    // The big button sits level with the first of the five, leaving the
    // space under it to what was heard.
    btnReconhecer = NewButton(pageMenu, "btnReconhecer", QStringLiteral("reconhecer"), QRect(270, 62, 172, 76), true);
    btnReconhecer->ManterClicado = true;
    // While on, the caption says what the next click does.
    btnReconhecer->SetCheckedPicture(SkinImage(QStringLiteral("parar")));
    lmpOuvindo = new TListeningLight(pageMenu);
    lmpOuvindo->setGeometry(450, 93, 14, 14);
    lstOuvido = new THeardPanel(pageMenu);
    lstOuvido->setGeometry(196, 148, 300, 74);
    // A failure's message may take three lines: they grow upwards into the
    // free space under the buttons, a single line stays where it always was.
    lblStatus = NewStatusLabel(pageMenu, "lblStatus", QStringLiteral("Reconhecimento Desligado"), big);

    btnCarregarProfile->OnClick = [this] { btnCarregarProfileClick(); };
    btnSalvarProfile->OnClick = [this] { btnSalvarProfileClick(); };
    BtnComandos->OnClick = [this] { BtnComandosClick(); };
    btnDitado->OnClick = [this] { btnDitadoClick(); };
    btnPreferencias->OnClick = [this] { btnPreferenciasClick(); };
    btnReconhecer->OnClick = [this] { btnReconhecerClick(); };
}

}  // namespace zel
