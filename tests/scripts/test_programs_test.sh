#!/usr/bin/env bash
# Every program the tests start comes from scripts/install-deps.sh's own list (not the --dev one) or
# from a Debian base system (an essential or required package, which every Debian 12 has), so the
# test command passes on a fresh machine. The programs are read from the tests: the shell tests and
# the scripts they run, the commands the C++ tests hand to std::system or look for, and the
# commands CTest starts. A program not installed here is not judged: the test that starts it names
# what is missing.
#   test_programs_test.sh <source folder>
set -euo pipefail
src=$1
fail() {
    echo "FAIL: $*"
    exit 1
}

mapfile -t listed < <(sed -n '/^PACKAGES=(/,/^)/p' "$src/scripts/install-deps.sh" | sed '1d;$d' |
    tr -s ' \t' '\n\n' | sed '/^$/d')
[ "${#listed[@]}" -gt 10 ] || fail "no package list read from scripts/install-deps.sh"

shell_files=("$src/scripts/test.sh")
mapfile -t -O 1 shell_files < <(find "$src/tests" "$src/demo" -name '*.sh' | sort)
# The project's scripts that those run or source.
mapfile -t named < <(grep -ohE 'scripts/[a-z-]+\.sh' "${shell_files[@]}" "$src/tests/CMakeLists.txt" \
    "$src/demo/CMakeLists.txt" | sort -u)
for n in "${named[@]}"; do
    [ -f "$src/$n" ] && shell_files+=("$src/$n")
done
mapfile -t cpp_files < <(find "$src/tests" -name '*.cpp' -o -name '*.h' | sort)
cmake_files=("$src/tests/CMakeLists.txt" "$src/demo/CMakeLists.txt" "$src/fuzz/CMakeLists.txt")

# The words in a command's place: a line's start, after ; & | ( ` $( and the shell's keywords, and
# absolute paths of programs anywhere; in C++, inside the strings of a std::system statement and
# the names handed to Installed("..."); in CMake, after COMMAND.
mapfile -t found < <(perl -e '
    my %seen;
    sub note { my ($word, $file) = @_; $seen{$word} //= $file; }
    sub runs { my $quoted = shift; return $quoted =~ m{\$\(|`} ? $quoted : "\x22\x22"; }
    my $head = qr{(?:^|[;&|(`]|\$\(|\b(?:then|do|else|elif|if|while|until|exec|time|env|timeout\s+\S+|command\s+-v)\s)}m;
    sub words {
        my ($text, $file) = @_;
        note($1, $file) while $text =~ m{$head\s*([A-Za-z_][A-Za-z0-9_.+-]*|/[A-Za-z0-9_./+-]*bin/[A-Za-z0-9_.+-]+)(?=[\s;&|)"\x27]|$)}mg;
        note($1, $file) while $text =~ m{(?<![\w.])(/(?:usr/)?s?bin/[A-Za-z0-9_.+-]+)}g;
    }
    my ($shell, $cpp, $cmake) = map { [split /\n/] } @ARGV[0 .. 2];
    for my $file (@$shell) {
        open my $in, "<", $file or die "$file: $!";
        my @lines = grep { !/^\s*#/ } <$in>;
        # Functions the scripts define are not programs.
        for (@lines) { $seen{"()$1"} = 1 if /^\s*(?:function\s+)?([A-Za-z_][\w-]*)\s*\(\)/; }
        s/\s#\s.*$// for @lines;
        # What a message says is not run: a double-quoted string runs only its $( ) and ` `.
        s/("(?:[^"\\]|\\.)*")/runs($1)/ge for @lines;
        my $text = join("", @lines);
        # Nor the words of an array that spans lines (a list of packages).
        $text =~ s/^\s*\w+=\(\s*\n.*?^\s*\)//msg;
        words($text, $file);
    }
    for my $file (@$cpp) {
        open my $in, "<", $file or die "$file: $!";
        my $text = do { local $/; <$in> };
        note($1, $file) while $text =~ m{\bInstalled\("([^"]+)"\)}g;
        # A game started under a program: the first word GameProcess is given.
        note($1, $file) while $text =~ m!\bGameProcess\s+\w+\([^;{]*?\{\s*"([^"]+)"!g;
        while ($text =~ m!std::system(\((?:[^()"]++|"(?:[^"\\]|\\.)*"|(?1))*\))!sg) {
            my $statement = $1;
            words($1, $file) while $statement =~ m{"((?:[^"\\]|\\.)*)"}g;
        }
    }
    for my $file (@$cmake) {
        open my $in, "<", $file or die "$file: $!";
        my $text = do { local $/; <$in> };
        note($1, $file) while $text =~ m{\bCOMMAND\s+([A-Za-z_][A-Za-z0-9_.+-]*)}g;
    }
    for (sort keys %seen) {
        next if /^\(\)/ || $seen{"()$_"};
        print "$_ $seen{$_}\n";
    }
' "$(printf '%s\n' "${shell_files[@]}")" "$(printf '%s\n' "${cpp_files[@]}")" \
    "$(printf '%s\n' "${cmake_files[@]}")")
[ "${#found[@]}" -gt 10 ] || fail "too few programs read from the tests: ${found[*]}"

# Each program's path and the paths a package may list it under: the link's target, and Debian
# 12's merged /usr (a package may list /bin/x for /usr/bin/x).
keywords=" $(compgen -b -k | tr '\n' ' ') "
declare -A path_of=() file_of=()
candidates=()
for entry in "${found[@]}"; do
    word=${entry%% *}
    if [[ $word != /* ]]; then
        [[ $keywords == *" $word "* ]] && continue
        path=$(type -P "$word" 2>/dev/null) || continue
    else
        [ -x "$word" ] || continue
        path=$word
    fi
    path_of[$word]=$path
    file_of[$word]=${entry#* }
    for p in "$path" "$(readlink -f "$path")"; do
        candidates+=("$p")
        case $p in
            /usr/*) candidates+=("${p#/usr}") ;;
            *) candidates+=("/usr$p") ;;
        esac
    done
done
# One question to dpkg for all the paths and one for all the packages: each start reads its whole
# database, which takes a busy machine seconds.
declare -A owner=() base=()
while IFS= read -r line; do
    [[ $line == diversion* ]] && continue
    owner[${line#*: }]=${line%%:*}
done < <(dpkg -S "${candidates[@]}" 2>/dev/null || true)
while read -r package essential priority; do
    [ "$essential" = yes ] || [ "$priority" = required ] && base[$package]=1
done < <(dpkg-query -W -f='${Package} ${Essential} ${Priority}\n' "${owner[@]}" 2>/dev/null || true)

judged=()
wrong=()
for word in "${!path_of[@]}"; do
    path=${path_of[$word]}
    file=${file_of[$word]#"$src"/}
    package=
    for p in "$path" "$(readlink -f "$path")"; do
        for q in "$p" "${p#/usr}" "/usr$p"; do
            [ -n "$package" ] || package=${owner[$q]:-}
        done
    done
    if [ -z "$package" ]; then
        wrong+=("$word ($path, started by $file) belongs to no Debian package")
        continue
    fi
    judged+=("$word:$package")
    [[ " ${listed[*]} " == *" $package "* ]] || [ -n "${base[$package]:-}" ] ||
        wrong+=("$word ($path, started by $file) comes from $package, which install-deps.sh installs only with --dev or not at all")
done

echo "${#judged[@]} programs: ${judged[*]}"
if [ "${#wrong[@]}" -gt 0 ]; then
    printf 'FAIL: %s\n' "${wrong[@]}"
    exit 1
fi
echo "PASS"
