#!/usr/bin/env bash
# Puts one deliberate fault at a time into the source and runs the test that should catch it: builds what
# that test needs (the core's test natively), runs it alone, and runs every test (the core natively, then
# ctest under Wine, in one session for all faults) only when it misses. Prints which test caught each fault.
# Each fault is a perl substitution on the line that carries the behaviour; one that no longer matches stops
# the script, so no fault is ever silently left out.
#   bash scripts/faults.sh [NAME...]   (default: every fault)
#   fault NAME TEST FILE 'perl substitution'   TEST: a ctest test, with a gtest filter after a colon if any
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
export CMAKE_BUILD_PARALLEL_LEVEL=2 GTEST_FAIL_FAST=1

names=() tests=() files=() edits=()
fault() { names+=("$1"); tests+=("$2"); files+=("$3"); edits+=("$4"); }

N=core/number_text.cpp A=core/assessment.cpp B=core/advice_bands.cpp E=core/run_error.hpp
W=ui/main_window/main_window.cpp C=win32/control_table.cpp F=win32/form.cpp
D=ui/about/about_dialog.cpp L=ui/about/sysinfo_launcher.cpp M=ui/main_window/main_window_layout.cpp
Y=ui/about/about_dialog_layout.cpp
fault round-half-up core_tests $N 's/fraction == 0.5 && below % 2 != 0/fraction == 0.5/'
fault int16-top-edge core_tests $N 's/value < 32767.5\)/value <= 32767.5)/'
fault fullwidth-nine core_tests $N 's/c <= u.\\uFF19./c < u\x27\\uFF19\x27/'
fault fullwidth-stop core_tests $N 's/case u.\\uFF0E.: return u.\..;//'
fault ideographic-space core_tests $N 's/case u.\\u3000.: return u. .;//'
fault lowercase-exponent core_tests $N 's/take\(u.E.\) \|\| take\(u.e.\)/take(u\x27E\x27)/'
fault exponent-plus-sign core_tests $N 's/if \(!negative\) take\(u.\+.\);//'
fault point-zeros-dropped core_tests $N 's/if \(afterPoint\) --number.decimalExponent;//'
fault double-top-edge core_tests $N 's/if \(e > 0\) throw/if (e > 309) throw/'
fault underflow-is-overflow core_tests $N \
  's/if \(e < -323\) return 0;/if (e < -323) throw RunError(ErrorNumber::Overflow, entry);/'
fault beep-on-prefix main_window_tests:*EveryField* $N \
  's/return atEnd\(\) \? EntryShape::Prefix : EntryShape::Invalid;/return EntryShape::Invalid;/'
fault beep-decision main_window_tests:*EveryField* $W \
  's/== EntryShape::Invalid\)\s*MessageBeep/!= EntryShape::Number) MessageBeep/'
fault band-23-in-row-6 core_tests $B 's/if \(bmi >= 23\) return 6;/if (bmi >= 24) return 6;/'
fault band-13-in-row-2 core_tests $B 's/if \(bmi <= 13\) return 0;/if (bmi <= 12) return 0;/'
fault zero-by-zero-is-11 core_tests $A \
  's/dividend == 0 \? ErrorNumber::Overflow/dividend == 0 ? ErrorNumber::DivisionByZero/'
fault error-number-11 core_tests $E 's/DivisionByZero = 11/DivisionByZero = 10/'
fault weight-read-first core_tests $A \
  's/(\n *const double heightSquared = [^\n]*)(\n *const double weight = [^\n]*)/$2$1/'
fault labels-cleared-first core_tests $A \
  's/(\n *)(store\(computeFigures[^\n]*\n *labels)/$1labels.bmi.setCaption(u"0");$1$2/'
fault standard-weight-order core_tests $A 's/partial \* heightMetres/partial * heightMetres + 0.5/'
fault focus-after-error main_window_tests:*CaptionAndCheck* $W \
  's/Entry::Weight \? Text2 : Text1/Entry::Weight ? Text1 : Text1/'
fault report-title main_window_tests:*CaptionAndCheck* $W \
  's/kAppIdentity.title.data\(\), MB_OK/L"Error", MB_OK/'
fault quit-button app_tests:*Quitting* $W \
  's/Command2_Click\(\) \{ DestroyWindow\(hwnd_\); \}/Command2_Click() {}/'
fault quit-menu app_tests:*Quitting* $W 's/endb_Click\(\) \{ DestroyWindow\(hwnd_\); \}/endb_Click() {}/'
fault close-box app_tests:*Quitting* $W \
  's/(\n *)case WM_DESTROY:/$1case WM_CLOSE: return 0;$1case WM_DESTROY:/'
fault enter-checks app_tests:*Checks* $W \
  's/(\n *)(default: break;  \/\/ IDOK)/$1case IDOK: Command1_Click(); break;$1$2/'
fault escape-quits app_tests:*Checks* $W \
  's/(\n *)(default: break;  \/\/ IDOK)/$1case IDCANCEL: DestroyWindow(hwnd_); break;$1$2/'
fault no-tab-to-entries app_tests:*Checks* $C \
  's/\{L"EDIT", ES_AUTOHSCROLL \| WS_TABSTOP/{L"EDIT", ES_AUTOHSCROLL/'
fault no-dpi-relayout main_window_tests:*CaptionShows* $F \
  's/controls_->layout\(layoutDpi\);//'
fault old-font-kept main_window_tests:*CaptionShows* $C \
  's/(\n *)(std::swap\(fonts_, newFonts\);)/$1$2$1for (auto& old : newFonts.own) old.second.release();/'
fault field-before-caption main_window_tests:*EveryField* $M \
  's/(\n *\{Label, Label2, [^\n]*)(\n *\{Edit, Text1, [^\n]*)/$2$1/'
fault ime-left-open main_window_tests:*EveryField* $W 's/ImmSetOpenStatus\(context, FALSE\);//'
fault long-paste-cut app_tests:*Checks* $C 's/SendMessageW\(controls_\[row\], EM_SETLIMITTEXT, 0, 0\);/;/'
fault control-refused main_window_tests:*CannotBeBuilt* $C 's/if \(!controls_\[row\]\)\s*throw [^;]*;//'
fault menu-destroyed-twice main_window_tests:*CannotBeBuilt* $F \
  's/const HWND window = CreateWindowExW\((.*?)owner, nullptr, instance, creator\);/
      "const HMENU menu = design_.menuBar ? design_.menuBar() : nullptr;\n    "
      . "const HWND window = CreateWindowExW($1owner, menu, instance, creator);\n    "
      . "if (!window) DestroyMenu(menu);"/se
   && s/if \(design_.menuBar\) SetMenu\(window, design_.menuBar\(\)\);//'
fault class-failure-silent main_window_tests:*CannotBeBuilt* $F \
  's/if \(!(RegisterClassExW\(&windowClass\))\) reportUnexpectedFailure\([^;]*\)/$1/'
fault half-built-window main_window_tests:*CannotBeBuilt* win32/base_window.hpp \
  's/if \(creating\) result = -1;//'
fault quit-lost-in-about app_tests:*Checks* $D \
  's/if \(quit\) PostQuitMessage\(static_cast<int>\(\*quit\)\);//'
fault owner-enabled-in-about app_tests:*Checks* $D 's/EnableWindow\(owner_, FALSE\);//'
fault about-escape app_tests:*Checks* $D 's/case IDCANCEL: cmdOK_Click\(\); break;//'
fault about-close-box app_tests:*Checks* $D 's/case WM_CLOSE:\s*unload\(\);/case WM_CLOSE:/'
fault about-menu-item app_tests:*Checks* $W \
  's/verb_Click\(\) \{ showAboutDialog\(hwnd_\); \}/verb_Click() {}/'
fault about-access-key main_window_tests:*CaptionAndCheck* $M 's/ \(&V\)/ (V)/'
fault copyright-click app_tests:*Checks* $M 's/SS_RIGHT \| SS_NOTIFY/SS_RIGHT/'
fault report-unowned main_window_tests:*CaptionAndCheck* $W \
  's/MessageBoxW\(hwnd_, text.c_str\(\)/MessageBoxW(nullptr, text.c_str()/'
fault about-font-leaked main_window_tests:AboutDialogTest.* $D \
  's/(\n *)form_.build\(hwnd_\);/"$1form_.build(hwnd_);$1SendMessageW(control(lblTitle), WM_SETFONT, "
     . "reinterpret_cast<WPARAM>(CreateFontW(-21, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, nullptr)), "
     . "FALSE);"/e'
fault about-fonts-kept main_window_tests:AboutDialogTest.* $D \
  's/(onNcDestroy\(\) \{\n) *form_.release\(\);\n/$1/'
fault about-icon-leaked app_tests:*Checks* $D 's/bigIcon_.reset\(\);/bigIcon_.release();/'
fault mail-address main_window_tests:AboutDialogTest.* $D \
  's/openWithShell\(L"mailto:" BELAVO_MAIL_ADDRESS\)/openWithShell(BELAVO_MAIL_ADDRESS)/'
fault link-address main_window_tests:AboutDialogTest.* $D \
  's/openWithShell\(BELAVO_HOME_PAGE\)/openWithShell(L"https:\/\/belavo.example")/'
fault launcher-text-cut main_window_tests:AboutDialogTest.* $L \
  's/const std::string_view bytes\(data, size\);/const std::string_view bytes(data, size - 1);/'
fault launcher-1024-rule main_window_tests:AboutDialogTest.* $L \
  's/std::array<char, kLargestValue> data\{\};/std::array<char, 4 * kLargestValue> data{};/
   && s/size = kLargestValue;/size = 4 * kLargestValue;/'
fault launcher-join main_window_tests:AboutDialogTest.* $L \
  's/kViewerFileName\[\] = "\\\\MSINFO32.EXE"/kViewerFileName[] = "MSINFO32.EXE"/'
fault launcher-terminator-kept main_window_tests:AboutDialogTest.* $L \
  's/std::string\(bytes.substr\(0, bytes.find\(.\\0.\)\)\)/std::string(bytes)/'
fault launcher-drive-relative main_window_tests:AboutDialogTest.* $L \
  's/const bool drive = separatorAt\(2\) && /const bool drive = /'
fault launcher-root-relative main_window_tests:AboutDialogTest.* $L \
  's/const bool unc = separatorAt\(0\) && separatorAt\(1\);/const bool unc = separatorAt(0);/'
fault launcher-quote main_window_tests:AboutDialogTest.* $L \
  's/std::wstring commandLine = L"\\"" \+ path \+ L"\\"";/std::wstring commandLine = path;/'
fault launcher-existence main_window_tests:AboutDialogTest.* $L \
  's/return plainFileExists\(path\) \? path : std::string\{\};/return path;/'
fault launcher-relative-path main_window_tests:AboutDialogTest.* $L \
  's/return drive \|\| unc \? path : std::string\{\};/return path;/'
fault launcher-quotes-kept main_window_tests:AboutDialogTest.* $L \
  's/if \(path.size\(\) >= 2 && path.front\(\) == \x27"\x27[^\n]*//'
fault japanese-em-height main_window_tests:*CaptionShows* win32/dpi.hpp \
  's/return charset == SHIFTJIS_CHARSET \? pixels : -pixels;/return -pixels;/'
fault about-at-origin main_window_tests:*CaptionShows* $F \
  's/design_.style, left, top,/design_.style, CW_USEDEFAULT, CW_USEDEFAULT,/'
fault launcher-empty-value main_window_tests:AboutDialogTest.* $L \
  's/if \(size == 0\) throw [^;]*;/if (size == 0) { keyVal.clear(); return false; }/'
fault zero-shown-empty core_tests $N 's/do \{(\n.*\n.*\n *)\} while \(rest != 0\);/while (rest != 0) {$1}/'
fault advice-character main_window_tests:*CaptionAndCheck* $B 's/‥と思います"/…と思います"/'
fault report-description main_window_tests:*CaptionAndCheck* core/run_error.cpp 's/u"型が一致しません。"/u"型が違います。"/'
fault report-entry-line main_window_tests:*CaptionAndCheck* $W \
  's/Entry::Weight: return L"体重 \(キログラム\)/Entry::Weight: return L"身長 (センチ)/'
fault version-line main_window_tests:AboutDialogTest.* $D \
  's/to_wstring\(identity.minor\) \+ L"."/to_wstring(identity.minor) + L".0."/'
fault about-first-focus main_window_tests:AboutDialogTest.* $Y \
  's/.firstFocus = cmdOK,/.firstFocus = cmdSysInfo,/'
fault about-tab-order main_window_tests:AboutDialogTest.* $Y \
  's/(\{Picture, picIcon, .*), WS_TABSTOP\}/$1, 0}/'
fault about-sysinfo-key main_window_tests:AboutDialogTest.* $Y 's/ｼｽﾃﾑ情報\(&S\)/ｼｽﾃﾑ情報(S)/'
fault launcher-forward-slash main_window_tests:AboutDialogTest.* $L \
  's/\(path\[i\] == .\\\\. \|\| path\[i\] == .\/.\)/(path[i] == \x27\\\\\x27)/'
fault launcher-folder-any main_window_tests:AboutDialogTest.* $L \
  's/\n *path = fullyQualified\(path\);\n *if \(path.empty\(\)\) return \{\};//'
fault launcher-hidden main_window_tests:AboutDialogTest.* $L \
  's/startup.wShowWindow = SW_SHOWNORMAL;/startup.wShowWindow = SW_HIDE;/'
fault manifest-dpi exe_tests app/belavo.manifest.in 's/>PerMonitorV2, PerMonitor</>PerMonitor</'
fault manifest-controls exe_tests app/belavo.manifest.in \
  's/Common-Controls" version="6.0.0.0"/Common-Controls" version="5.82.0.0"/'
fault version-translation exe_tests app/resources.rc 's/0x0411, 0x04B0/0x0411, 0x03A4/'
fault version-product-name exe_tests app/resources.rc \
  's/"ProductName", BELAVO_PRODUCT_NAME/"ProductName", BELAVO_TITLE/'
fault profile-runs-nothing caption_fit_tests_japanese-windows tests/CMakeLists.txt \
  's/EveryCaptionShows\*/EveryCaptionsShow*/'
fault setup-step-unchecked script_tests scripts/wine-session.sh 's/(import \S+settings\S+) \|\| return/$1/'
fault release-with-dots script_tests scripts/in-debian.sh 's/\[\[:alnum:\]-\]\*/[[:alnum:].\/-]*/'
fault text-size-ignored main_window_tests:*CaptionShows* $F 's/textScalePercent\(\), 100\)/100, 100)/'
fault past-the-work-area main_window_tests:*CaptionShows* $F 's/100\)\), fits\)/100)), 9999u)/'
fault text-size-not-live main_window_tests:*CaptionShows* $F \
  's/(WM_SETTINGCHANGE:)\s*followSettings\(window\);/$1/'
fault contrast-ignored main_window_tests:*CaptionShows* $C 's/= highContrast\(\);/= highContrast() && false;/'
fault contrast-brush-leaked main_window_tests:*CaptionShows* $C \
  's/(paint.brush).reset\(/$1.release();\n        $1.reset(/'
fault roman-by-cell main_window_tests:*Picture* win32/dpi.hpp \
  's/return charset == SHIFTJIS_CHARSET \? pixels : -pixels;/return pixels;/'
fault fraction-rounded-down main_window_tests:*Picture* win32/dpi.hpp \
  's/points \* dpi \/ 72.0 \+ 0.5/points * dpi \/ 72.0/'
fault dpi-change-not-redrawn main_window_tests:*Picture* $F 's/RedrawWindow\(window[^;]*;//'
fault menu-bar-left-out main_window_tests:*CaptionShows* $F \
  's/design_.menuBar != nullptr, design_.exStyle/FALSE, design_.exStyle/'
fault sized-for-system-dpi main_window_tests:*CaptionShows* $F \
  's/if \(window && dpiOf\(window\) != dpi\)/if (false)/'
fault suggestion-ignored main_window_tests:*CaptionShows* $F \
  's/SWP_NOZORDER \| SWP_NOACTIVATE\);(\n *if \(controls_ )/SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);$1/'
fault about-over-screen main_window_tests:*CaptionShows* $F \
  's/if \(owner\) GetWindowRect\(owner, &centre\);//'
fault message-font-first picture_tests_japanese-windows win32/ui_font.cpp \
  's/\{kDesignFace, message.lfFaceName,/{message.lfFaceName, kDesignFace,/'

selected=("$@")
chosen() {
  [ ${#selected[@]} = 0 ] && return 0
  local s; for s in "${selected[@]}"; do [ "$s" = "$1" ] && return 0; done; return 1
}

log=build/faults.log
build() { cmake --build --preset native && cmake --build --preset mingw; } >>$log 2>&1
run_tests() { ctest --preset native --stop-on-failure && ctest --preset mingw --stop-on-failure; } >>$log 2>&1
# What one test needs, built alone: the core's test natively, the caption runs' program, the exe itself.
build_one() {
  local test="${1%%:*}" preset=mingw target
  [ "$test" = core_tests ] && preset=native
  case "$test" in
    script_tests) return 0 ;;
    caption_fit_tests_* | picture_tests_*) target=main_window_tests ;;
    exe_tests) target=Belavo ;;
    *) target=$test ;;
  esac
  cmake --build --preset $preset --target $target >>$log 2>&1
}
# One test, with the gtest filter after its name if there is one.
test_one() {
  local test="${1%%:*}" filter="*" preset=mingw
  [[ $1 == *:* ]] && filter="${1#*:}"
  [[ $test == core_tests || $test == script_tests ]] && preset=native
  GTEST_FILTER="$filter" ctest --preset $preset -R "^$test\$" >>$log 2>&1
}
catcher() { sed -n 's/.*Test *#[0-9]*: \([^ ]*\) .*\*\*\*.*/\1/p' $log | head -n 1; }

git diff --quiet -- "${files[@]}" || { echo "commit or stash what the faults change first" >&2; exit 2; }
cmake --preset native >/dev/null && cmake --preset mingw >/dev/null
: >$log
build || { echo "the unchanged tree does not build: see $log" >&2; exit 2; }
source scripts/wine-session.sh
current=""
finish() { [ -z "$current" ] || git checkout -- "$current"; wine_session_stop; }
trap finish EXIT
wine_session_start build/wine-prefix virtual profiles
run_tests || { echo "the unchanged tree fails its tests: see $log" >&2; exit 2; }

table=() missed=0 started=$SECONDS
for i in "${!names[@]}"; do
  chosen "${names[$i]}" || continue
  current=${files[$i]} test=${tests[$i]} begun=$SECONDS
  perl -0pi -e "\$n += (${edits[$i]}); END { die qq(no match\\n) unless \$n }" "$current" ||
    { echo "FAULT ${names[$i]} DOES NOT APPLY to $current: fix its pattern" >&2; exit 1; }
  : >$log
  if ! build_one "$test"; then
    result="does not build"
  elif ! test_one "$test"; then
    result="caught by $test"
  elif ! build; then
    result="does not build"
  elif run_tests; then
    result=MISSED; missed=$((missed + 1))
  else
    result="caught by $(catcher), not by $test"
  fi
  git checkout -- "$current"; current=""
  table+=("$(printf '%-25s %-52s %4ss' "${names[$i]}" "$result" $((SECONDS - begun)))")
  echo "${table[-1]}"
done
build || true
echo; echo "== Faults ($((SECONDS - started)) s)"; printf '%s\n' "${table[@]}"; echo "$missed missed"
