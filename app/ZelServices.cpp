#include "app/ZelServices.h"

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QFile>
#include <QSoundEffect>
#include <QUrl>

#include "platform/x11/X11Desktop.h"
#include "recognition/SphinxControl.h"

namespace zel {

namespace {

// The activation sound: one reused sound object; silent without a device.
class TSoundPlayer {
public:
    void Play(const std::string& fileName) {
        if (!effect_) effect_ = std::make_unique<QSoundEffect>();
        effect_->stop();
        effect_->setSource(QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(fileName))));
        effect_->play();
    }

private:
    std::unique_ptr<QSoundEffect> effect_;
};

// The recognizer's events, from its threads to the window's: queued on a
// receiver that lives as long as the services, so that nothing arrives after.
class TQtEventPoster : public IEventPoster {
public:
    TQtEventPoster() : receiver_(std::make_unique<QObject>()) {}
    void Post(std::function<void()> event) override {
        QMetaObject::invokeMethod(receiver_.get(), std::move(event), Qt::QueuedConnection);
    }

private:
    std::unique_ptr<QObject> receiver_;
};

}  // namespace

std::unique_ptr<IWindowServices> MakeZelServices(const std::string& pastaExe, std::unique_ptr<IDesktop> desktop,
                                                 const TRecognizerFactory& recognizer) {
    return MakeWindowServices(pastaExe, pastaExe, std::move(desktop), std::make_unique<TQtEventPoster>(), recognizer);
}

std::unique_ptr<IWindowServices> MakeZelServices(const std::string& pastaExe) {
    auto desktop = std::make_unique<TX11Desktop>();
    desktop->SetMessagePump([] { QCoreApplication::processEvents(); });
    // The player lives as long as the desktop, which the services own: it
    // goes before the application object does.
    auto sound = std::make_shared<TSoundPlayer>();
    desktop->SetSoundPlayer([sound](const std::string& file) { sound->Play(file); });
    return MakeZelServices(pastaExe, std::move(desktop),
                           [](IEventPoster& poster) { return std::make_unique<TSphinxControl>(poster); });
}

}  // namespace zel
