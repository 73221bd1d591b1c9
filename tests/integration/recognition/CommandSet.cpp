#include "tests/integration/recognition/CommandSet.h"

#include <filesystem>
#include <memory>

#include "actions/ActionContext.h"
#include "commands/Cp1252.h"
#include "commands/IniFile.h"
#include "commands/LocaleCollator.h"
#include "commands/TextFile.h"
#include "platform/fake/FakeDesktop.h"
#include "recognition/FakeRecognizer.h"
#include "recognition/RecognitionSwitch.h"

namespace zeltest {

using namespace zel;

std::vector<std::string> DefaultCommandPhrases() {
    return {"abrir",     "fechar",   "copiar",     "colar",      "recortar", "salvar",   "desfazer",
            "refazer",   "baixo",    "cima",       "esquerda",   "direita",  "próximo",  "anterior",
            "parar",     "tocar",    "apagar",     "confirmar",  "cancelar", "início",   "final",
            "maximizar", "minimizar", "computador", "abrir navegador", "fechar janela", "selecionar tudo",
            "página seguinte"};
}

std::vector<std::string> NumberWords() {
    return {"um", "dois", "três", "quatro", "cinco", "seis", "sete", "oito", "nove", "dez"};
}

std::vector<std::string> NonCommandSentences() {
    return {"hoje o tempo está bom para passear",
            "a reunião foi adiada para a semana que vem",
            "ela comprou pão e leite na padaria",
            "o menino jogava bola com os amigos",
            "precisamos terminar o relatório amanhã",
            "o ônibus chegou atrasado de novo",
            "gosto muito de ouvir música clássica",
            "a cidade estava cheia de turistas"};
}

TComando SpokenCommand(const std::string& utf8Phrase) {
    TComando c;
    c.Cmd = Utf8ToCp1252(utf8Phrase);
    c.Fonemas = TParserPortugues::TextToPhonemes(c.Cmd);
    c.Acao = tcTecla;
    c.Args = "ENTER";
    return c;
}

std::string TemplateArgFile() { return std::string(ZEL_RUNTIME_DIR) + "/sphinx/sphinx.arg.default"; }

TCommandSet MakeCommandSet(const std::string& folder, const std::vector<std::string>& commands, bool numbers,
                           const std::vector<std::string>& ditadoUtf8) {
    namespace fs = std::filesystem;
    TCommandSet set;
    set.Folder = folder;
    if (set.Folder.empty() || set.Folder.back() != '/') set.Folder += '/';
    fs::create_directories(set.Folder + "sphinx");
    fs::copy_file(TemplateArgFile(), set.Folder + "sphinx/sphinx.arg.default", fs::copy_options::overwrite_existing);
    fs::remove(set.Folder + "sphinx.arg");

    TListaComandos comandos;
    for (const auto& p : commands) {
        comandos.Append(SpokenCommand(p));
        set.Phrases.push_back(p);
        set.Expected.push_back(p);
    }
    if (numbers) {
        TIniDocument ini;
        std::vector<std::string> words = NumberWords();
        ini.WriteInteger("modnum", "num", static_cast<int32_t>(words.size()));
        for (size_t i = 0; i < words.size(); ++i) {
            std::string sec = "num" + std::to_string(i);
            std::string w = Utf8ToCp1252(words[i]);
            ini.WriteString(sec, "cmd", w);
            ini.WriteString(sec, "num", std::to_string(i + 1));
            ini.WriteString(sec, "fonemas", TParserPortugues::TextToPhonemes(w));
            set.Phrases.push_back(words[i]);
            set.Expected.push_back(words[i]);
        }
        ini.Save(set.Folder + "modnum.ini");
        // A count and a command in one breath.
        for (const char* s : {"dois baixo", "três cima", "cinco direita"}) {
            set.Phrases.push_back(s);
            set.Expected.push_back(s);
        }
    }
    std::vector<std::string> ditado;
    for (const auto& l : ditadoUtf8) ditado.push_back(Utf8ToCp1252(l));

    TEventLog log;
    TFakeDesktop desktop(log);
    TFakeTimer timer(log);
    TActionContext ctx(comandos, desktop, timer, nullptr);
    ctx.Prefs.ModNum = numbers;
    TSphinx sphinx(std::make_unique<TFakeRecognizerControl>(), set.Folder + "sphinx/");
    GenerateRecognizerFiles(sphinx, ctx, ditado, set.Folder);
    set.ArgFile = set.Folder + "sphinx.arg";
    set.Vocabulary = {sphinx.Control().NumberWords, sphinx.Control().CommandPhrases,
                      Utf16ToCp1252(sphinx.Control().AcousticModel)};
    return set;
}

bool SameWords(const std::string& resultUtf8, const std::string& expectedUtf8) {
    std::string got = SentenceFromResult(Cp1252ToUtf16(Utf8ToCp1252(resultUtf8)));
    return LocaleEqual(got, Utf8ToCp1252(expectedUtf8));
}

}  // namespace zeltest
