# Debian's source packages for the libraries built for Windows and for the
# browser: making `apt-get source` work on a machine that has only binary
# package entries. Sourced by tools/dev/debsrc_build.sh (the libraries' builder)
# and ./dev test's first-run checks, which provide say and fail.

# The file of deb-src entries added when the machine has none.
DEBSRC_FILE=/etc/apt/sources.list.d/vantrel-deb-src.sources

# debsrc_stanzas [APT_ETC]: prints deb822 stanzas of type deb-src for the
# Debian (or Ubuntu) archives that the enabled entries under APT_ETC (default
# /etc/apt) already name, in either format apt reads.
debsrc_stanzas() {
    local etc=${1:-/etc/apt} file
    for file in "$etc"/sources.list.d/*.sources; do
        [ -f "$file" ] && [ "$file" != "$DEBSRC_FILE" ] || continue
        awk 'BEGIN { RS = ""; ORS = "\n\n" }
            /(^|\n)Types:[^\n]*deb([ \n]|$)/ && /(^|\n)URIs:[^\n]*(debian|ubuntu)/ &&
            !/(^|\n)Enabled: *no/ {
                sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src")
                sub(/^\n/, "")
                print
            }' "$file"
    done
    for file in "$etc/sources.list" "$etc"/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        # One-line format: "deb [options] URI suite components..."
        awk '$1 == "deb" && $0 ~ /(debian|ubuntu)/ {
                i = 2
                if ($2 ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
                printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents:", $i, $(i + 1)
                for (j = i + 2; j <= NF; j++) printf " %s", $j
                printf "\n\n"
            }' "$file"
    done
}

# debsrc_as_root COMMAND...: runs COMMAND as root (directly, or with sudo).
debsrc_as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        fail "need root (or sudo) to run: $*"
    fi
}

# debsrc_apt_get ARGUMENTS...: apt-get as root, waiting up to ten minutes
# while another apt holds its lock.
debsrc_apt_get() {
    local tries=0 out
    while true; do
        if out=$(debsrc_as_root apt-get -o DPkg::Lock::Timeout=60 "$@" 2>&1); then
            return 0
        fi
        if grep -q -i 'lock' <<<"$out" && [ $tries -lt 20 ]; then
            tries=$((tries + 1))
            say "apt is busy (another apt-get is running); retrying in 30 s"
            sleep 30
            continue
        fi
        printf '%s\n' "$out" >&2
        return 1
    done
}

# debsrc_ensure: makes `apt-get source` find Debian's sources, adding
# DEBSRC_FILE and updating the package lists once when it does not.
debsrc_ensure() {
    if apt-cache showsrc --only-source libsdl2 2>/dev/null | grep -q '^Version:'; then
        return 0
    fi
    command -v apt-get >/dev/null 2>&1 ||
        fail "apt-get not found: these libraries are built from Debian's source packages"
    if ! grep -rqs -E '^(deb-src |Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        local stanzas
        stanzas=$(debsrc_stanzas)
        [ -n "$stanzas" ] ||
            fail "no Debian or Ubuntu archive found in /etc/apt/sources.list{,.d}: add deb-src lines yourself"
        say "adding source package entries for Debian's archive ($DEBSRC_FILE)"
        printf '# Source packages, for building the Windows and browser libraries (Vantrel).\n%s\n' \
            "$stanzas" | debsrc_as_root tee "$DEBSRC_FILE" >/dev/null
    fi
    say "updating apt's package lists (with the source entries)"
    debsrc_apt_get update -qq ||
        fail "apt-get update failed: check the network and /etc/apt/sources.list.d/"
    apt-cache showsrc --only-source libsdl2 2>/dev/null | grep -q '^Version:' ||
        fail "apt-get still finds no source package libsdl2 after adding $DEBSRC_FILE"
}

# debsrc_first_run WORK: what debsrc_ensure does on a machine that has never
# had deb-src entries, done in WORK and leaving the machine's apt untouched:
# the entries made from this machine's sources, the lists updated, and one
# small source package downloaded. Every apt call has five minutes.
debsrc_first_run() {
    local work=$1
    mkdir -p "$work/sources.list.d" "$work/lists/partial" "$work/cache/archives/partial" \
        "$work/download"
    debsrc_stanzas >"$work/sources.list.d/vantrel-deb-src.sources"
    [ -s "$work/sources.list.d/vantrel-deb-src.sources" ] ||
        fail "no Debian archive found in /etc/apt to make deb-src entries from"
    local apt=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$work/sources.list.d"
        -o Dir::State::Lists="$work/lists" -o Dir::Cache="$work/cache" -o Debug::NoLocking=1)
    timeout 300 apt-get "${apt[@]}" update -qq >"$work/update.log" 2>&1 || {
        cat "$work/update.log" >&2
        fail "apt-get update with only the deb-src entries failed"
    }
    timeout 300 apt-cache "${apt[@]}" showsrc --only-source libsdl2 2>/dev/null | grep -q '^Version:' ||
        fail "the deb-src entries made from /etc/apt do not list the source of libsdl2"
    # The upstream tarball is what the builds need (a mirror may lack a
    # version's Debian part); apt's download user must be able to write here.
    chmod 0777 "$work/download"
    (cd "$work/download" && timeout 300 apt-get "${apt[@]}" source --download-only --tar-only -qq \
        libsdl2-gfx) \
        >"$work/source.log" 2>&1 || {
        cat "$work/source.log" >&2
        fail "apt-get source could not download libsdl2-gfx through the deb-src entries"
    }
    compgen -G "$work/download/libsdl2-gfx_*.orig.tar.*" >/dev/null ||
        fail "apt-get source downloaded no upstream tarball of libsdl2-gfx"
}
