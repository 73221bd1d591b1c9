#pragma once
// A context over the recording desktop, shared by the tests of this layer.
#include <gtest/gtest.h>

#include "actions/ActionContext.h"
#include "platform/fake/FakeDesktop.h"

namespace zeltest {

class ActionsTest : public ::testing::Test {
protected:
    zel::TEventLog log;
    zel::TFakeDesktop desktop{log};
    zel::TFakeTimer timer{log};
    zel::TFakeIndicator indicator{log};
    zel::TListaComandos comandos;
    zel::TActionContext ctx{comandos, desktop, timer, &indicator};

    void Command(std::string cmd, uint8_t acao, std::string args) {
        comandos.Append(zel::TComando{std::move(cmd), "", acao, std::move(args)});
    }
    void Modifier(std::string word, std::string number) {
        ctx.Modificadores.Append(zel::TComando{std::move(word), "", 0, std::move(number)});
    }
    // Keys and waits only.
    std::string Keys() const { return log.Trace(zel::TDesktopEvent::kKeys); }
    std::string All() const { return log.Trace(); }
};

}  // namespace zeltest
