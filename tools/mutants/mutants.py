#!/usr/bin/env python3
"""A mutation sample of the game (last runs, after the second cut of the
tests: all 24 non-web mutants caught that are not marked equivalent, the two
newest among them; the 4 web ones caught with --web; 23 to 310 s a mutant):
each mutant changes one token of the program, the tree is rebuilt and the
suite run; a mutant is caught when the build or a test fails. The source is
always put back. A tool, not a test: it takes a minute or more a mutant and
does not run in CI.

    tools/mutants/mutants.py              every mutant, against build/dev (ctest)
    tools/mutants/mutants.py 3 7          only those
    tools/mutants/mutants.py --check      each change still applies to the source
    tools/mutants/mutants.py --web        web mutants too (build/web and tests/web)

The build trees must be configured (cmake --preset dev, and web for --web).
For a random sample that names every test catching each mutant, see
sample.py beside this file.
"""
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]

# (file, text, replacement, what the change breaks); the text must occur once.
MUTANTS = [
    ("core/game_clock.cpp", "target - *due > kStallMs", "target - *due >= kStallMs", "stall bound"),
    ("core/step_gate.cpp", "if (!stepDue(now, state.LastTick))", "if (false)", "the 50 ms gate"),
    # Equivalent: a tick is never looked for at the moment its timer started.
    ("core/timer_scheduler.cpp", "return t > e.start &&", "return t >= e.start &&", "a timer's first tick"),
    ("core/game.cpp", "if (!button->visible || !button->enabled)", "if (!button->visible)", "disabled buttons"),
    # The page's view is the only reader of the keyboard's screen.
    ("core/screen_set.cpp", "if (s && s->playable())", "if (s && s->visible())", "the keyboard's screen", "web"),
    ("core/control.h", "toPixels(left + width) - l", "toPixels(width)", "pixel rectangles"),
    ("core/keys.h", "code >= kKeyEnd && code <= kKeyDown;\n}", "code > kKeyEnd && code <= kKeyDown;\n}",
     "keys a text box keeps"),
    ("script/play.cpp", "move->lost ? Verb::Wait : Verb::Run", "Verb::Run", "a stall in the record"),
    # Seen as a second key-up in the record, which the page's test reads.
    ("script/play.cpp", "        std::erase(held_, key);\n", "", "keys let go", "web"),
    ("script/play.cpp", "if (watching() && !stop_ && !runEnd_)", "if (watching() && !stop_)", "replay pacing"),
    ("script/record_writer.cpp", "c.number = std::min(ms, kMaxNumber);", "c.number = ms;", "long stretches"),
    ("script/command.cpp", "if (c.number > static_cast<uint64_t>(kMaxKeyCode))",
     "if (c.number > static_cast<uint64_t>(kMaxKeyCode) + 1)", "key code bound"),
    ("script/line_reader.cpp", "if (lineNumber_ == 1 && line.starts_with", "if (line.starts_with",
     "byte-order mark"),
    ("script/session.cpp", "if (c.verb == Verb::Clock && first_)", "if (c.verb == Verb::Clock)", "clock first"),
    ("script/book_watcher.cpp", "game_.rows[static_cast<size_t>(c.species)] = true;", "(void)c.species;",
     "the book's marked rows"),
    ("ui/layouts/layouts.cpp", '.helpSection = "lure"', '.helpSection = "cast"', "the help at the screen played"),
    ("script/catch_book.cpp", "weight > page.heaviest->weight", "weight >= page.heaviest->weight",
     "ties keep the first fish"),
    ("script/catch_book_file.cpp", "    if (result.saved)\n        unsaved_.clear();", "    if (false)\n        unsaved_.clear();",
     "fish saved twice"),
    # Nearly equivalent: a new game also wipes the log line the watcher last told.
    ("script/book_watcher.cpp", "if (count < told_ ||", "if (count < told_ - 1 ||", "a new game"),
    ("screens/battle/battle_screen.cpp", "line < GameState::kCatchLogLines",
     "line < GameState::kCatchLogLines - 1", "the log's last line"),
    ("screens/battle/battle_screen.cpp", "s.SecretPoints += 30;", "s.SecretPoints += 3;", "the princess bonus"),
    ("screens/lure/lure_screen.cpp", "kSinkPerStep = 15;", "kSinkPerStep = 16;", "the lure's sinking"),
    # Equivalent: the power is whole and every spot's width a multiple of 100.
    ("screens/cast/cast_screen.cpp", "std::lrint(CastPower_", "std::floor(CastPower_", "cast rounding"),
    ("screens/results/results_screen.cpp", "static_cast<double>(s.CatchTotals[2]) / count",
     "static_cast<double>(s.CatchTotals[1]) / count", "average length"),
    ("platform/qt/qt_host.cpp", "                play_.releaseKeys();\n", "", "keys left held"),
    ("platform/qt/key_map.cpp", "case Qt::Key_End: return 35;", "case Qt::Key_End: return 36;", "End key"),
    # Equivalent today: the one text box that takes the focus is read-only and
    # passes the scrolling keys on to its window all the same.
    ("platform/qt/screen_window.cpp", "? ControlKind::TextBox : ControlKind::Button",
     "? ControlKind::Button : ControlKind::Button", "a text box's keys"),
    ("platform/qt/window_title.cpp", "|| event->type() == QEvent::WindowTitleChange", "", "retitled windows"),
    ("platform/qt/game_recorder.cpp", "|| std::fflush(file_) != 0", "", "a record flushed"),
    ("platform/qt/help_window.cpp", "setWindowTitle(title);", "(void)title;", "the help's title"),
    ("platform/web/web_view.cpp", "keys ? static_cast<int>(keys->id()) : -1", "-1", "the page's keyboard", "web"),
    ("platform/web/site/page.js", "  window.addEventListener('blur', keyboardLost);\n", "", "keys held in the page",
     "web"),
    # Equivalent in a browser: performance.now() never goes back.
    ("platform/web/web_game.cpp", "std::max(realMs_, floorMs(real))", "floorMs(real)", "the page's clock", "web"),
]


def run(cmd, cwd=ROOT, timeout=1800):
    try:
        return subprocess.run(cmd, cwd=cwd, shell=True, capture_output=True, text=True, errors="replace",
                              timeout=timeout)
    except subprocess.TimeoutExpired as e:
        return subprocess.CompletedProcess(cmd, 124, e.stdout or "", "timed out")


def first_failure(out):
    for line in out.splitlines():
        if "***Failed" in line or "not ok" in line or "Subprocess aborted" in line:
            return line.strip()[:100]
    return ""


def judge(web):
    build = run("cmake --build --preset dev -j2")
    if build.returncode != 0:
        return "caught", "does not build"
    tests = run("ctest --preset dev -j2 --stop-on-failure")
    if tests.returncode != 0:
        return "caught", first_failure(tests.stdout)
    if web:
        build = run("cmake --build --preset web")
        if build.returncode != 0:
            return "caught", "the page does not build"
        tests = run("NODE_PATH=/usr/share/nodejs node --test sim.test.mjs page.test.mjs touch.test.mjs",
                    cwd=ROOT / "tests/web")
        if tests.returncode != 0:
            return "caught", first_failure(tests.stdout)
    return "MISSED", ""


def main():
    args = sys.argv[1:]
    web = "--web" in args
    check = "--check" in args
    chosen = [int(a) for a in args if a.isdigit()]
    bad = 0
    for n, (path, text, new, what, *kind) in enumerate(MUTANTS, 1):
        if chosen and n not in chosen:
            continue
        file = ROOT / path
        source = file.read_text()
        if source.count(text) != 1:
            print(f"{n:2} {path}: the text to change occurs {source.count(text)} times")
            bad += 1
            continue
        if check or ("web" in kind and not web):
            continue
        start = time.time()
        try:
            file.write_text(source.replace(text, new))
            verdict, why = judge("web" in kind)
        finally:
            file.write_text(source)
        print(f"{n:2} {verdict:6} {time.time() - start:5.0f} s  {path}: {what}  {why}", flush=True)
    run("cmake --build --preset dev -j2")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
