#include "actions/Actions.h"

#include "commands/KeyNames.h"
#include "commands/ParseString.h"
#include "commands/TextFile.h"
#include "commands/TextUtil.h"

namespace zel {

TLaunch LaunchOf(std::string_view args) {
    TLaunch launch;
    TParsedString pieces = ParseString(args, ' ');
    if (pieces.Count == 0) return launch;
    launch.Program = pieces.Items[0];
    for (int32_t i = 1; i < pieces.Count; ++i) launch.Parameters += " " + pieces.Items[static_cast<size_t>(i)];
    size_t slash = launch.Program.find_last_of(kFolderSeparators);
    if (slash != std::string::npos) launch.WorkFolder = launch.Program.substr(0, slash + 1);
    return launch;
}

void LaunchProgram(TActionContext& ctx, const TComando& command) {
    TLaunch launch = LaunchOf(command.Args);
    // No program piece, or an empty one (arguments beginning with a blank):
    // there is nothing a desktop could start.
    if (launch.Program.empty()) return;
    // A program that cannot be started gives no message. The profile's text
    // names the program; the desktop takes file names of the system.
    (void)ctx.Desktop->ShellOpen(FileNameFromText(launch.Program), launch.Parameters, FileNameFromText(launch.WorkFolder));
}

void PressKeyCombination(TActionContext& ctx, const TComando& command) {
    TParsedString pieces = ParseString(command.Args, '+');
    for (const auto& name : pieces.Items) {
        uint8_t code = KeyNameToCode(name);
        if (code != kNoKey) ctx.Desktop->KeyDown(code);
    }
    ctx.Desktop->Sleep(ctx.TempoTecla);
    for (const auto& name : pieces.Items) {
        uint8_t code = KeyNameToCode(name);
        if (code != kNoKey) ctx.Desktop->KeyUp(code);
    }
}

namespace {
constexpr uint8_t kVkTab = 0x09, kVkEnter = 0x0D, kVkShift = 0x10, kVkSpace = 0x20;
void PressAndRelease(TActionContext& ctx, uint8_t vk) {
    ctx.Desktop->KeyDown(vk);
    ctx.Desktop->Sleep(ctx.TempoTecla);
    ctx.Desktop->KeyUp(vk);
}
}  // namespace

void TypeTextCommand(TActionContext& ctx, const TComando& command) {
    TDigitacaoArgs args = SplitDigitacaoArgs(command.Args);
    TypeText(ctx, args.Texto);
    if (args.MandarEspaco) PressAndRelease(ctx, kVkSpace);
    if (args.MandarEnter) PressAndRelease(ctx, kVkEnter);
}

// The ABNT2 keyboard: the acute dead key (0xDB, grave with Shift), the tilde
// dead key (0xDE, circumflex with Shift), the diaeresis on Shift+6, the Ç key
// (0xBA). Shift is let go after the dead key: still down when the letter comes,
// it would make â a capital Â.
std::vector<TKeyGroup> KeysOfCharacter(unsigned char c) {
    constexpr uint8_t kAcute = 0xDB, kTilde = 0xDE, kSix = 0x36, kCedilla = 0xBA;
    const TKeyGroup circumflex{kVkShift, kTilde}, diaeresis{kVkShift, kSix}, grave{kVkShift, kAcute};
    if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ') return {{c}};
    switch (c) {
        case 0xE1: return {{kAcute, 'A'}};  // á
        case 0xE9: return {{kAcute, 'E'}};  // é
        case 0xED: return {{kAcute, 'I'}};  // í
        case 0xF3: return {{kAcute, 'O'}};  // ó
        case 0xFA: return {{kAcute, 'U'}};  // ú
        case 0xFD: return {{kAcute, 'Y'}};  // ý
        case 0xE3: return {{kTilde, 'A'}};  // ã
        case 0xF5: return {{kTilde, 'O'}};  // õ
        case 0xF1: return {{kTilde, 'N'}};  // ñ
        case 0xE2: return {circumflex, {'A'}};  // â
        case 0xEA: return {circumflex, {'E'}};  // ê
        case 0xEE: return {circumflex, {'I'}};  // î
        case 0xF4: return {circumflex, {'O'}};  // ô
        case 0xFB: return {circumflex, {'U'}};  // û
        case 0xE4: return {diaeresis, {'A'}};   // ä
        case 0xEB: return {diaeresis, {'E'}};   // ë
        case 0xEF: return {diaeresis, {'I'}};   // ï
        case 0xF6: return {diaeresis, {'O'}};   // ö
        case 0xFC: return {diaeresis, {'U'}};   // ü
        case 0xFF: return {diaeresis, {'Y'}};   // ÿ
        case 0xE0: return {grave, {'A'}};       // à
        case 0xE8: return {grave, {'E'}};       // è
        case 0xEC: return {grave, {'I'}};       // ì
        case 0xF2: return {grave, {'O'}};       // ò
        case 0xF9: return {grave, {'U'}};       // ù
        case 0xE7: return {{kCedilla}};         // ç
        case 0xC7: return {{kVkShift, kCedilla}};  // Ç
        // Capitals keep their case: the dead key, then Shift with the letter.
        case 0xC1: return {{kAcute}, {kVkShift, 'A'}};  // Á
        case 0xC9: return {{kAcute}, {kVkShift, 'E'}};  // É
        case 0xCD: return {{kAcute}, {kVkShift, 'I'}};  // Í
        case 0xD3: return {{kAcute}, {kVkShift, 'O'}};  // Ó
        case 0xDA: return {{kAcute}, {kVkShift, 'U'}};  // Ú
        case 0xDD: return {{kAcute}, {kVkShift, 'Y'}};  // Ý
        case 0xC3: return {{kTilde}, {kVkShift, 'A'}};  // Ã
        case 0xD5: return {{kTilde}, {kVkShift, 'O'}};  // Õ
        case 0xD1: return {{kTilde}, {kVkShift, 'N'}};  // Ñ
        case 0xC2: return {circumflex, {kVkShift, 'A'}};  // Â
        case 0xCA: return {circumflex, {kVkShift, 'E'}};  // Ê
        case 0xCE: return {circumflex, {kVkShift, 'I'}};  // Î
        case 0xD4: return {circumflex, {kVkShift, 'O'}};  // Ô
        case 0xDB: return {circumflex, {kVkShift, 'U'}};  // Û
        case 0xC4: return {diaeresis, {kVkShift, 'A'}};   // Ä
        case 0xCB: return {diaeresis, {kVkShift, 'E'}};   // Ë
        case 0xCF: return {diaeresis, {kVkShift, 'I'}};   // Ï
        case 0xD6: return {diaeresis, {kVkShift, 'O'}};   // Ö
        case 0xDC: return {diaeresis, {kVkShift, 'U'}};   // Ü
        case 0xC0: return {grave, {kVkShift, 'A'}};       // À
        case 0xC8: return {grave, {kVkShift, 'E'}};       // È
        case 0xCC: return {grave, {kVkShift, 'I'}};       // Ì
        case 0xD2: return {grave, {kVkShift, 'O'}};       // Ò
        case 0xD9: return {grave, {kVkShift, 'U'}};       // Ù
        // The accents alone: the dead key, then the space bar.
        case '~': return {{kTilde}, {kVkSpace}};
        case '^': return {circumflex, {kVkSpace}};
        case 0xB4: return {{kAcute}, {kVkSpace}};  // ´
        case '`': return {grave, {kVkSpace}};
        case 0xA8: return {diaeresis, {kVkSpace}};  // ¨
        // Punctuation keys of the layout, plain and with Shift.
        case '\'': return {{0xC0}};
        case '"': return {{kVkShift, 0xC0}};
        case '-': return {{0xBD}};
        case '_': return {{kVkShift, 0xBD}};
        case '=': return {{0xBB}};
        case '+': return {{kVkShift, 0xBB}};
        case '[': return {{0xDD}};
        case '{': return {{kVkShift, 0xDD}};
        case ']': return {{0xDC}};
        case '}': return {{kVkShift, 0xDC}};
        case ',': return {{0xBC}};
        case '<': return {{kVkShift, 0xBC}};
        case '.': return {{0xBE}};
        case '>': return {{kVkShift, 0xBE}};
        case ';': return {{0xBF}};
        case ':': return {{kVkShift, 0xBF}};
        case '/': return {{0xC1}};
        case '?': return {{kVkShift, 0xC1}};
        case '\\': return {{0xE2}};
        case '|': return {{kVkShift, 0xE2}};
        case '!': return {{kVkShift, '1'}};
        case '@': return {{kVkShift, '2'}};
        case '#': return {{kVkShift, '3'}};
        case '$': return {{kVkShift, '4'}};
        case '%': return {{kVkShift, '5'}};
        case '&': return {{kVkShift, '7'}};
        case '*': return {{kVkShift, '8'}};
        case '(': return {{kVkShift, '9'}};
        case ')': return {{kVkShift, '0'}};
        case '\t': return {{kVkTab}};
        default: return {};
    }
}

void TypeText(TActionContext& ctx, std::string_view text) {
    // Letters go out as their key without Shift: dictated words arrive in
    // lower case whatever case the recognizer gave them.
    const std::string upper = AsciiUpper(text);
    for (char ch : upper) {
        for (const TKeyGroup& group : KeysOfCharacter(static_cast<unsigned char>(ch))) {
            for (uint8_t vk : group) ctx.Desktop->KeyDown(vk);
            ctx.Desktop->Sleep(ctx.TempoTecla);
            for (uint8_t vk : group) ctx.Desktop->KeyUp(vk);
        }
        ctx.Desktop->ProcessMessages();
    }
}

}  // namespace zel
