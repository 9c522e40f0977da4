#!/usr/bin/env bash
# Puts one deliberate fault at a time into the source, rebuilds, runs every
# test (the core natively, then ctest under Wine in one session for all
# faults) and prints which faults the tests catch. Each fault is a perl
# substitution on the line that carries the behaviour; one that no longer
# matches stops the script, so no fault is ever silently left out.
#   bash scripts/faults.sh [NAME...]   (default: every fault)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
export CMAKE_BUILD_PARALLEL_LEVEL=2 GTEST_FAIL_FAST=1

names=() files=() edits=()
fault() { names+=("$1"); files+=("$2"); edits+=("$3"); }

N=core/number_text.cpp A=core/assessment.cpp B=core/advice_bands.cpp E=core/run_error.hpp
W=ui/main_window/main_window.cpp C=win32/control_table.cpp F=win32/form.cpp
D=ui/about/about_dialog.cpp L=ui/about/sysinfo_launcher.cpp M=ui/main_window/main_window_layout.cpp
fault round-half-up          $N 's/fraction == 0.5 && below % 2 != 0/fraction == 0.5/'
fault int16-top-edge         $N 's/value < 32767.5\)/value <= 32767.5)/'
fault fullwidth-nine         $N 's/c <= u.\\uFF19./c < u\x27\\uFF19\x27/'
fault fullwidth-stop         $N 's/case u.\\uFF0E.: return u.\..;//'
fault ideographic-space      $N 's/case u.\\u3000.: return u. .;//'
fault lowercase-exponent     $N 's/take\(u.E.\) \|\| take\(u.e.\)/take(u\x27E\x27)/'
fault exponent-plus-sign     $N 's/if \(!negative\) take\(u.\+.\);//'
fault point-zeros-dropped    $N 's/if \(afterPoint\) --number.decimalExponent;//'
fault double-top-edge        $N 's/if \(e > 0\) throw/if (e > 309) throw/'
fault underflow-is-overflow  $N 's/if \(e < -323\) return 0;/if (e < -323) throw RunError(ErrorNumber::Overflow, entry);/'
fault beep-on-prefix         $N 's/return atEnd\(\) \? EntryShape::Prefix : EntryShape::Invalid;/return EntryShape::Invalid;/'
fault beep-decision          $W 's/== EntryShape::Invalid\) MessageBeep/!= EntryShape::Number) MessageBeep/'
fault band-23-in-row-6       $B 's/if \(bmi >= 23\) return 6;/if (bmi >= 24) return 6;/'
fault band-13-in-row-2       $B 's/if \(bmi <= 13\) return 0;/if (bmi <= 12) return 0;/'
fault zero-by-zero-is-11     $A 's/dividend == 0 \? ErrorNumber::Overflow/dividend == 0 ? ErrorNumber::DivisionByZero/'
fault error-number-11        $E 's/DivisionByZero = 11/DivisionByZero = 10/'
fault weight-read-first      $A 's/(\n *const double heightSquared = [^\n]*)(\n *const double weight = [^\n]*)/$2$1/'
fault labels-cleared-first   $A 's/(\n *)(store\(computeFigures\(heightText, weightText\), weightText, result\);\n *labels)/$1labels.bmi.setCaption(u"0");$1$2/'
fault standard-weight-order  $A 's/partial \* heightMetres/partial * heightMetres + 0.5/'
fault focus-after-error      $W 's/Entry::Weight \? Text2 : Text1/Entry::Weight ? Text1 : Text1/'
fault report-title           $W 's/kAppIdentity.title.data\(\), MB_OK/L"Error", MB_OK/'
fault quit-button            $W 's/Command2_Click\(\) \{ DestroyWindow\(hwnd_\); \}/Command2_Click() {}/'
fault quit-menu              $W 's/endb_Click\(\) \{ DestroyWindow\(hwnd_\); \}/endb_Click() {}/'
fault close-box              $W 's/(\n *)case WM_DESTROY:/$1case WM_CLOSE: return 0;$1case WM_DESTROY:/'
fault enter-checks           $W 's/default: break;  \/\/ IDOK/case IDOK: Command1_Click(); break;\n    default: break;  \/\/ IDOK/'
fault escape-quits           $W 's/default: break;  \/\/ IDOK/case IDCANCEL: DestroyWindow(hwnd_); break;\n    default: break;  \/\/ IDOK/'
fault no-tab-to-entries      $C 's/\{L"EDIT", ES_AUTOHSCROLL \| WS_TABSTOP/{L"EDIT", ES_AUTOHSCROLL/'
fault no-dpi-relayout        $F 's/if \(controls_\) controls_->layout\(HIWORD\(wParam\)\);//'
fault old-font-kept          $C 's/(\n *)std::swap\(fonts_, newFonts\);/$1std::swap(fonts_, newFonts);$1for (auto& old : newFonts.own) old.second.release();/'
fault field-before-caption   $M 's/(\n *\{Label, Label2, [^\n]*)(\n *\{Edit, Text1, [^\n]*)/$2$1/'
fault ime-left-open          $W 's/ImmSetOpenStatus\(context, FALSE\);//'
fault long-paste-cut         $C 's/SendMessageW\(controls_\[row\], EM_SETLIMITTEXT, 0, 0\);/;/'
fault control-refused        $C 's/if \(!controls_\[row\]\) throw [^;]*;//'
fault menu-destroyed-twice   $F 's/const HWND window = CreateWindowExW\((.*?)owner, nullptr, instance, creator\);/const HMENU menu = design_.menuBar ? design_.menuBar() : nullptr;\n    const HWND window = CreateWindowExW($1owner, menu, instance, creator);\n    if (!window) DestroyMenu(menu);/s && s/if \(design_.menuBar\) SetMenu\(window, design_.menuBar\(\)\);//'
fault class-failure-silent   $F 's/if \(!RegisterClassExW\(&windowClass\)\) reportUnexpectedFailure\([^;]*\);/RegisterClassExW(&windowClass);/'
fault half-built-window      win32/base_window.hpp 's/if \(creating\) result = -1;//'
fault quit-lost-in-about     $D 's/if \(quit\) PostQuitMessage\(static_cast<int>\(\*quit\)\);//'
fault owner-enabled-in-about $D 's/EnableWindow\(owner_, FALSE\);//'
fault about-escape           $D 's/case IDCANCEL: cmdOK_Click\(\); break;//'
fault about-close-box        $D 's/case WM_CLOSE:\n *unload\(\);/case WM_CLOSE:/'
fault about-menu-item        $W 's/verb_Click\(\) \{ showAboutDialog\(hwnd_\); \}/verb_Click() {}/'
fault about-access-key       $M 's/ \(&V\)/ (V)/'
fault copyright-click        $M 's/SS_RIGHT \| SS_NOTIFY/SS_RIGHT/'
fault report-unowned         $W 's/MessageBoxW\(hwnd_, text.c_str\(\)/MessageBoxW(nullptr, text.c_str()/'
fault about-font-leaked      $D 's/(\n *)form_.build\(hwnd_\);/$1form_.build(hwnd_);$1SendMessageW(control(lblTitle), WM_SETFONT, reinterpret_cast<WPARAM>(CreateFontW(-21, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, L"Times New Roman")), FALSE);/'
fault about-fonts-kept       $D 's/(onNcDestroy\(\) \{\n) *form_.release\(\);\n/$1/'
fault about-icon-leaked      $D 's/bigIcon_.reset\(\);/bigIcon_.release();/'
fault mail-address           $D 's/openWithShell\(L"mailto:" BELAVO_MAIL_ADDRESS\)/openWithShell(BELAVO_MAIL_ADDRESS)/'
fault link-address           $D 's/openWithShell\(BELAVO_HOME_PAGE\)/openWithShell(L"https:\/\/belavo.example")/'
fault launcher-text-cut      $L 's/const std::string_view bytes\(data, size\);/const std::string_view bytes(data, size - 1);/'
fault launcher-1024-rule     $L 's/std::array<char, kLargestValue> data\{\};/std::array<char, 4 * kLargestValue> data{};/ && s/size = kLargestValue;/size = 4 * kLargestValue;/'
fault launcher-join          $L 's/kViewerFileName\[\] = "\\\\MSINFO32.EXE"/kViewerFileName[] = "MSINFO32.EXE"/'
fault launcher-terminator-kept $L 's/std::string\(bytes.substr\(0, bytes.find\(.\\0.\)\)\)/std::string(bytes)/'
fault launcher-drive-relative $L 's/const bool drive = separatorAt\(2\) && /const bool drive = /'
fault launcher-root-relative $L 's/const bool unc = separatorAt\(0\) && separatorAt\(1\);/const bool unc = separatorAt(0);/'
fault launcher-quote         $L 's/std::wstring commandLine = L"\\"" \+ path \+ L"\\"";/std::wstring commandLine = path;/'
fault launcher-existence     $L 's/return plainFileExists\(path\) \? path : std::string\{\};/return path;/'
fault launcher-relative-path $L 's/return drive \|\| unc \? path : std::string\{\};/return path;/'
fault launcher-quotes-kept   $L 's/if \(path.size\(\) >= 2 && path.front\(\) == \x27"\x27[^\n]*//'
fault japanese-em-height     win32/dpi.hpp 's/return charset == SHIFTJIS_CHARSET \? pixels : -pixels;/return -pixels;/'
fault about-at-origin        $F 's/design_.style, left, top,/design_.style, CW_USEDEFAULT, CW_USEDEFAULT,/'
fault launcher-empty-value   $L 's/if \(size == 0\) throw [^;]*;/if (size == 0) { keyVal.clear(); return false; }/'
fault setup-step-unchecked   script_tests scripts/wine-session.sh 's/(import \S+settings\S+) \|\| return/$1/'
fault release-with-dots      script_tests scripts/in-debian.sh 's/\[\[:alnum:\]-\]\*/[[:alnum:].\/-]*/'
fault text-size-ignored      main_window_tests $F 's/textScalePercent\(\), 100\)/100, 100)/'
fault past-the-work-area     main_window_tests $F 's/100\)\), fits\)/100)), 9999u)/'
fault text-size-not-live     main_window_tests $F 's/(WM_SETTINGCHANGE:\n) *followSettings\(window\);/$1/'
fault contrast-ignored       main_window_tests $C 's/= highContrast\(\);/= highContrast() && false;/'
fault contrast-brush-leaked  main_window_tests $C 's/(paint.brush).reset\(/$1.release();\n        $1.reset(/'
fault roman-by-cell          main_window_tests win32/dpi.hpp 's/return charset == SHIFTJIS_CHARSET \? pixels : -pixels;/return pixels;/'
fault fraction-rounded-down  main_window_tests win32/dpi.hpp 's/points \* dpi \/ 72.0 \+ 0.5/points * dpi \/ 72.0/'
fault dpi-change-not-redrawn main_window_tests $F 's/RedrawWindow\(window[^;]*;//'
fault menu-bar-left-out      main_window_tests $F 's/design_.menuBar != nullptr, design_.exStyle/FALSE, design_.exStyle/'
fault sized-for-system-dpi   main_window_tests $F 's/if \(window && dpiOf\(window\) != dpi\)/if (false)/'
fault suggestion-ignored     main_window_tests $F 's/SWP_NOZORDER \| SWP_NOACTIVATE\);(\n *if \(controls_ )/SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);$1/'
fault about-over-screen      main_window_tests $F 's/if \(owner\) GetWindowRect\(owner, &centre\);//'
fault message-font-first     picture_tests_japanese-windows win32/ui_font.cpp 's/\{kDesignFace, message.lfFaceName,/{message.lfFaceName, kDesignFace,/'

selected=("$@")
chosen() { [ ${#selected[@]} = 0 ] && return 0; local s; for s in "${selected[@]}"; do [ "$s" = "$1" ] && return 0; done; return 1; }

build() { cmake --build --preset native >build/faults.log 2>&1 && cmake --build --preset mingw >>build/faults.log 2>&1; }
run_tests() { ctest --preset native --stop-on-failure >>build/faults.log 2>&1 && ctest --preset mingw --stop-on-failure >>build/faults.log 2>&1; }

git diff --quiet -- "${files[@]}" || { echo "commit or stash the changes to the faulted files first" >&2; exit 2; }
cmake --preset native >/dev/null && cmake --preset mingw >/dev/null
build || { echo "the unchanged tree does not build: see build/faults.log" >&2; exit 2; }
source scripts/wine-session.sh
current=""
finish() { [ -z "$current" ] || git checkout -- "$current"; wine_session_stop; }
trap finish EXIT
wine_session_start build/wine-prefix virtual profiles
run_tests || { echo "the unchanged tree fails its tests: see build/faults.log" >&2; exit 2; }

table=() missed=0
for i in "${!names[@]}"; do
  chosen "${names[$i]}" || continue
  current=${files[$i]}
  perl -0pi -e "\$n += (${edits[$i]}); END { die qq(no match\\n) unless \$n }" "$current" ||
    { echo "FAULT ${names[$i]} DOES NOT APPLY to $current: fix its pattern" >&2; exit 1; }
  if ! build; then
    result="does not build"
  elif run_tests; then
    result=MISSED; missed=$((missed + 1))
  else
    result="caught by $(sed -n 's/.*Test *#[0-9]*: \([^ ]*\) .*\*\*\*.*/\1/p' build/faults.log | head -n 1)"
  fi
  git checkout -- "$current"; current=""
  table+=("$(printf '%-23s %-31s %s' "${names[$i]}" "${files[$i]}" "$result")")
  echo "${table[-1]}"
done
build || true
echo; echo "== Faults"; printf '%s\n' "${table[@]}"; echo "$missed missed"
