// The game's texts in English. Each English text is about as wide as the
// Japanese it stands for in the same control and font (a full-width glyph is
// about two Latin letters), so that it fits where the Japanese does.

#include "ui/texts/english.h"

#include <algorithm>
#include <iterator>
#include <unordered_map>
#include <vector>

#include "core/text.h"

namespace mogumo {
namespace {

// clang-format off
constexpr TextPair kSpots[] = {
    {"池", "Pond"},
    {"河", "River"},
    // The cast screen's status line "HP:7000 stage:" leaves room for about ten letters.
    {"巨大釣り堀", "Big Pond"},
    {"海", "Sea"},
};

// Common names where the creature has one; a short rendering of the joke where it has none.
constexpr TextPair kSpecies[] = {
    {"しゅわん", "Shuwan"},
    {"めでか", "Medaka"},
    {"人面魚", "Human-faced Fish"},
    {"恋鯉", "Love Koi"},
    {"化石魚", "Fossil Fish"},
    {"ブラックバス", "Black Bass"},
    {"ヤマメ", "Cherry Salmon"},
    {"さけ様", "Sir Salmon"},
    {"アユ", "Sweetfish"},
    {"ウナギ", "Eel"},
    {"タニシ", "Mud Snail"},
    {"きんぎょ", "Goldfish"},
    {"どざえもん", "Drowned Man"},
    {"ニジマス", "Rainbow Trout"},
    {"カッパ", "Kappa"},
    {"出目金", "Telescope Goldfish"},
    {"みみずうお", "Wormfish"},
    {"腐敗魚", "Rotten Fish"},
    {"時計ワニ", "Clock Croc"},
    {"沢蟹", "Freshwater Crab"},
    {"アッシー", "Ashie"},
    {"ウイングフィシュ", "Wing Fish"},
    {"化石ダイ", "Fossil Bream"},
    {"ギンメダイ", "Silver Eye"},
    {"アカシヤ", "Acacia"},
    {"おいろけ蟹", "Sexy Crab"},
    {"あんこーもち", "Monkfish Mochi"},
    {"ウエイト貝", "Weight Clam"},
    {"いるかい？", "Dolphin?"},
    {"白クジラ", "White Whale"},
    {"さぶさば", "Sabu Mackerel"},
    {"小銭ザメ", "Penny Shark"},
    {"人食いヒトデ", "Man-eating Starfish"},
    {"人食いざめ", "Man-eating Shark"},
    {"海水浴者", "Sea Bather"},
    {"あきなき", "Akinaki"},
    {"プランクトン", "Plankton"},
    {"ナマコっち", "Sea Cukey"},
    {"乙姫", "Sea Princess"},
    {"フナムシ", "Sea Slater"},
    {"まぼろし魚", "Phantom Fish"},
};

constexpr TextPair kReportHeader{"魚の名前　　　/重量(g)/身長(mm)", "Fish               /Weight(g)/Length(mm)"};

constexpr TextPair kLines[] = {
    // The eight screens: window captions, then the controls.
    {"タイトル(ヘルプは Ｆ１ ででるよ)", "Title (F1 for help)"},
    {"つり場所", "Fishing Spot"},
    {"成績発表！", "Results!"},
    {"キャスト！（多いと飛びもいいよ）", "Cast! (more power, longer cast)"},
    {"Shiftでルアーをひく Ｅｎｄでギブアップ ", "Shift reels in the lure, End gives up"},
    {"バトル！！", "Battle!!"},
    {"魚介類とのバトル（Shiftでひく Ｅｎｄでやめる）", "Fight the Catch (Shift pulls, End quits)"},
    {"ＧＡＭＥ　ＳＴＡＲＴ   !!!!!", "GAME START   !!!!!"},
    {"Ｐｏｒｉｍａ 1999", "Porima 1999"},
    // One word, as the Japanese is: the title label draws a one-word caption on
    // one line, spilling past its sides as the Japanese does, where two words
    // would wrap and lose the second.
    {"Mogumo野郎", "Mogumo\u00a0Guy"},
    {"決定！", "OK!"},
    {"＜＜＜", "<<<"},
    {"＞＞＞", ">>>"},
    {"つり場所は？", "Where will you fish?"},
    {"満足", "Satisfied"},
    {"得点", "Score"},
    kReportHeader,
    {"キャスト！！", "Cast!!"},
    {"ＨＩＴ！！！", "HIT!!!"},
    {"タイム オーバー", "Time's Up"},
    {"見つけた魚を逃してしまった・・・・", "The fish got away...."},
    {"LIFE:9999            岸まで:1200Ｍ", "LIFE:9999            To shore:1200M"},
    // As wide as "FISH  LIFE" beside it, the width of the label.
    {"糸の耐久力    ", "LINE  LIFE"},
    // The desktop: the help window, its notice, the game's messages, --help.
    {"Mogumo ヘルプ", "Mogumo Help"},
    {"記録を書けません。ゲームは続きます。", "The record cannot be written. The game goes on."},
    {"釣果帳を読めませんでした。ゲームは続きます。", "The catch book could not be read. The game goes on."},
    {"釣果帳を保存できません。ゲームは続きます。", "The catch book cannot be saved. The game goes on."},
    {"Mogumo — 釣りゲーム (a fishing game)", "Mogumo — a fishing game"},
    // The catch book's window.
    {"釣果帳", "Catch Book"},
    {"釣果帳 (F2で閉じる)", "Catch Book (F2 to close)"},
    {"最高の釣果: まだありません", "Best game: none yet"},
    {"一番重い魚: まだありません", "Heaviest fish: none yet"},
    {"★ 記録を更新しました！", "★ A new record!"},
    {"？？？", "???"},
    {"書き出す", "Export"},
    {"読み込む", "Import"},
    {"釣果帳を読み込みました。", "The catch book was imported."},
    // The page: its title, bar, notices and touch keys.
    {"閉じる", "Close"},
    {"閉じる (Esc)", "Close (Esc)"},
    {"新しいゲーム", "New game"},
    {"記録を保存", "Save record"},
    {"記録を再生", "Play record"},
    {"再生中", "Replaying"},
    {"再生が終わりました", "Replay finished"},
    {"ゲームは終わりました。", "The game is over."},
    {"ひく", "pull"},
    {"やめる", "quit"},
    {"ヘルプ", "help"},
    {"ヘルプ (F1)", "Help (F1)"},
    {"全画面", "Full screen"},
    {"今のゲームをやめて、新しいゲームを始めますか？", "Quit this game and start a new one?"},
    {"続ける", "Keep playing"},
    {"記録のファイルが空です。", "The record file is empty."},
    {"記録のファイルはテキストではありません。", "The record file is not text."},
    {"このゲームには JavaScript が要ります。", "This game needs JavaScript."},
};

constexpr TextPair kPatterns[] = {
    // The spot screen's description, a line each.
    {"つり場所：{spot}", "Spot: {spot}"},
    {"広さ：{n}Ｍ  残ＨＰ：{n}", "Width: {n}M  HP: {n}"},
    {"種類：{n}種類", "Species: {n}"},
    // The cast screen.
    {"HP:{n} stage:{spot}", "HP:{n} stage:{spot}"},
    {"届いた長さは{n}Ｍです", "Your cast reached {n}M"},
    // The lure screen's status box.
    {"YOUR LIFE：{n} 魚の興味：{n}％", "YOUR LIFE: {n}  FISH INTEREST: {n}%"},
    {"岸まで{n}M", "To shore: {n}M"},
    // The battle screen's status and its landing.
    {"岸まで:{n}M", "To shore:{n}M"},
    {"あれ:{n}", "Rest:{n}"},
    {"{fish}を 釣り上げた！", "Landed the {fish}!"},
    // The results report, below its header.
    {"{log}/{n}/{n}", "{log}/{n}/{n}"},
    {"釣った数:{n}", "Fish caught:{n}"},
    // "Avg" keeps the longest totals and averages inside the report's box.
    {"総重量:{n}g 平均:{x}g", "Total weight:{n}g Avg:{x}g"},
    {"平均身長:{x}mm", "Average length:{x}mm"},
    // The catch book's totals and rows.
    {"釣った回数: {n}回　釣った魚: {n}匹　見つけた種類: {n}/{n}", "Games: {n}  Fish landed: {n}  Kinds found: {n}/{n}"},
    {"最高の釣果: {n}g ({n}匹) {spot} {any}", "Best game: {n}g ({n} fish) {spot} {any}"},
    {"一番重い魚: {fish} {n}g {n}mm {spot} {any}", "Heaviest fish: {fish} {n}g {n}mm {spot} {any}"},
    {"{fish} ×{n}", "{fish} ×{n}"},
    {"重さ {n}g {n}mm {spot} {any}", "Heaviest {n}g {n}mm {spot} {any}"},
    {"長さ {n}g {n}mm {spot} {any}　初 {any}", "Longest {n}g {n}mm {spot} {any}  first {any}"},
    // The hosts' messages around a name or a reason.
    {"ヘルプの文書 {any} が見つかりません。", "The help page {any} is missing."},
    {"ゲームの中で誤りが起きました: {any}", "An error occurred in the game: {any}"},
    {"ゲームを始められません: {any}", "The game cannot start: {any}"},
    {"記録を再生できません: {any}", "Cannot play the record back: {any}"},
    {"再生が止まりました: {any}", "Replay stopped: {any}"},
    {"この釣果帳は読み込めません: {any}", "This catch book cannot be imported: {any}"},
    {"読めない釣果帳は {any} に残しました: {any}", "The unreadable book is kept as {any}: {any}"},
};
// clang-format on

constexpr bool namesFitTheLog() {
    return std::all_of(std::begin(kSpecies), std::end(kSpecies),
                       [](const TextPair& p) { return p.english.size() <= kLogNameColumns; });
}
static_assert(namesFitTheLog(), "an English species name is wider than the report's name field");
static_assert(kReportHeader.english.find('/') == kLogNameColumns, "the header's name field is not aligned");

// The catch log's name field: the name padded with ideographic spaces or cut.
constexpr size_t kLogNameChars = 7;
constexpr std::string_view kIdeographicSpace = "\u3000";

using Fills = std::vector<std::string>;

size_t numberLength(std::string_view text, std::string_view allowed) {
    return std::min(text.find_first_not_of(allowed), text.size());
}

// `take` is called with each way a slot can take the start of a text: how
// many bytes it takes and what it puts into the English; true ends the search.
template <class Take>
bool takeName(std::span<const TextPair> names, std::string_view text, const Take& take) {
    for (const TextPair& name : names)
        if (text.starts_with(name.japanese) && take(name.japanese.size(), std::string(name.english)))
            return true;
    return false;
}

// The log's name field. Only "ウイングフィシュ" is longer than the field, and
// the catalogue's names cut to the field are all different.
template <class Take>
bool takeLogName(std::string_view text, const Take& take) {
    const std::string field = leftChars(text, kLogNameChars);
    if (charCount(field) != kLogNameChars)
        return false;
    std::string_view name = field;
    while (name.ends_with(kIdeographicSpace)) name.remove_suffix(kIdeographicSpace.size());
    for (const TextPair& fish : kSpecies)
        if (leftChars(fish.japanese, kLogNameChars) == name) {
            std::string english(fish.english);
            english.resize(kLogNameColumns, ' ');
            return take(field.size(), english);
        }
    return false;
}

template <class Take>
bool takeSlot(std::string_view slot, std::string_view text, const Take& take) {
    if (slot == "n" || slot == "x") {
        const size_t n = numberLength(text, slot == "n" ? "-0123456789" : "-+.0123456789e");
        return n > 0 && take(n, std::string(text.substr(0, n)));
    }
    if (slot == "spot")
        return takeName(kSpots, text, take);
    if (slot == "fish")
        return takeName(kSpecies, text, take);
    if (slot == "log")
        return takeLogName(text, take);
    // {any}: the shortest text that lets the rest match, whole characters.
    for (size_t n = 0; n <= text.size(); ++n)
        if ((n == text.size() || (static_cast<unsigned char>(text[n]) & 0xC0) != 0x80) &&
            take(n, std::string(text.substr(0, n))))
            return true;
    return false;
}

// Whether `pattern` matches all of `text`; `fills` then holds the English of
// its slots in order.
bool matches(std::string_view pattern, std::string_view text, Fills& fills) {
    const size_t open = pattern.find('{');
    const std::string_view literal = pattern.substr(0, open);
    if (!text.starts_with(literal))
        return false;
    text.remove_prefix(literal.size());
    if (open == std::string_view::npos)
        return text.empty();
    const size_t close = pattern.find('}', open);
    const std::string_view rest = pattern.substr(close + 1);
    return takeSlot(pattern.substr(open + 1, close - open - 1), text,
                    [&](size_t length, std::string english) {
                        fills.push_back(std::move(english));
                        if (matches(rest, text.substr(length), fills))
                            return true;
                        fills.pop_back();
                        return false;
                    });
}

std::string filled(std::string_view english, const Fills& fills) {
    std::string out;
    size_t next = 0;
    for (size_t at = 0; at < english.size();) {
        const size_t open = english.find('{', at);
        out.append(english.substr(at, open - at));
        if (open == std::string_view::npos)
            break;
        out.append(fills.at(next++));
        at = english.find('}', open) + 1;
    }
    return out;
}

const std::unordered_map<std::string_view, std::string_view>& fixedLines() {
    static const auto lines = [] {
        std::unordered_map<std::string_view, std::string_view> all;
        for (auto table : {std::span<const TextPair>(kLines), std::span<const TextPair>(kSpots),
                           std::span<const TextPair>(kSpecies)})
            for (const TextPair& p : table) all.emplace(p.japanese, p.english);
        return all;
    }();
    return lines;
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string englishLine(std::string_view line) {
    if (isAscii(line))
        return std::string(line);
    if (const auto it = fixedLines().find(line); it != fixedLines().end())
        return std::string(it->second);
    Fills fills;
    for (const TextPair& p : kPatterns) {
        fills.clear();
        if (matches(p.japanese, line, fills))
            return filled(p.english, fills);
    }
    return std::string(line);
}

}  // namespace

std::string shownText(Language language, std::string_view gameText) {
    if (language == Language::Japanese || isAscii(gameText))
        return std::string(gameText);
    std::string shown;
    for (size_t at = 0; at <= gameText.size();) {
        const size_t end = std::min(gameText.find('\n', at), gameText.size());
        std::string_view line = gameText.substr(at, end - at);
        const bool cr = line.ends_with('\r');
        if (cr)
            line.remove_suffix(1);
        shown += englishLine(line);
        if (cr)
            shown += '\r';
        if (end < gameText.size())
            shown += '\n';
        at = end + 1;
    }
    return shown;
}

const EnglishTable& englishTable() {
    static const EnglishTable table{kLines, kPatterns, kSpots, kSpecies};
    return table;
}

bool hasJapaneseScript(std::string_view utf8) {
    for (size_t i = 0; i + 2 < utf8.size(); ++i) {
        const auto b = [&](size_t k) { return static_cast<unsigned char>(utf8[i + k]); };
        if ((b(0) & 0xF0) != 0xE0)
            continue;
        const unsigned cp = (b(0) & 0x0Fu) << 12 | (b(1) & 0x3Fu) << 6 | (b(2) & 0x3Fu);
        // Punctuation and kana, kanji, compatibility kanji, full-width forms.
        if ((cp >= 0x3000 && cp <= 0x31FF) || (cp >= 0x3400 && cp <= 0x9FFF) ||
            (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0xFF00 && cp <= 0xFFEF))
            return true;
    }
    return false;
}

}  // namespace mogumo
