# vantrel-grade's sandboxes: each step of each submission (its build, its
# run, the comparison of its frames) runs in a bubblewrap sandbox of its own,
# with no network, the system read-only, none of the teacher's files, other
# submissions or results in view, and a private writable folder of limited
# size that is thrown away. Files go in as a tar archive on fd 5 and come out
# as one on fd 3, written by inside.sh, which also applies the limits.
# Sourced by vantrel-grade.

# The sandbox's own user: programs nobody has read should not run as root,
# and the process limit only holds for a user other than root. When the
# grader runs as root, the sandboxes run as "nobody". Either way bubblewrap
# starts with an empty environment: its first process is the sandbox's
# process 1, and a submission can read that process's environment.
SANDBOX_USER=()
# The bwrap options every step shares (sandbox_prepare fills them in): those
# before its private folders are mounted, and those after (the kit, mounted
# after /tmp, since it may be under /tmp).
BWRAP=()
BWRAP_AFTER=()

# sandbox_prepare KIT: chooses the sandbox's user and its view of the system;
# KIT is the folder of grading tools and headers it must see (read-only).
sandbox_prepare() {
    local kit=$1 entry
    SANDBOX_USER=(env -i)
    if [ "$(id -u)" -eq 0 ]; then
        SANDBOX_USER+=(setpriv --reuid="$(id -u nobody 2>/dev/null || echo 65534)"
            --regid="$(id -g nobody 2>/dev/null || echo 65534)" --clear-groups --no-new-privs --)
        # Root in a user namespace of its own may have no "nobody" to become.
        "${SANDBOX_USER[@]}" true 2>/dev/null || SANDBOX_USER=(env -i)
    fi
    # Who and where the sandbox is, in files of its own over the system's:
    # the user is "learner" (uid 1000), the machine "sandbox", and neither
    # the teacher's name nor anyone else's account is in view.
    mkdir -p "$kit/etc"
    printf '%s\n' 'root:x:0:0:root:/root:/bin/sh' 'learner:x:1000:1000:learner:/work:/bin/sh' \
        'nobody:x:65534:65534:nobody:/nonexistent:/usr/sbin/nologin' >"$kit/etc/passwd"
    printf '%s\n' 'root:x:0:' 'learner:x:1000:' 'nogroup:x:65534:' >"$kit/etc/group"
    echo sandbox >"$kit/etc/hostname"
    printf '127.0.0.1 localhost sandbox\n::1 localhost\n' >"$kit/etc/hosts"
    echo 00000000000000000000000000000001 >"$kit/etc/machine-id"
    BWRAP=(bwrap --unshare-all --unshare-user --disable-userns --die-with-parent --new-session
        --hostname sandbox --uid 1000 --gid 1000 --ro-bind /usr /usr --ro-bind /etc /etc)
    # Only over files that are there (a link may point at nothing in the
    # sandbox, where it tells nothing).
    for entry in passwd group hostname hosts machine-id; do
        [ -f "/etc/$entry" ] && [ ! -L "/etc/$entry" ] && BWRAP+=(--ro-bind "$kit/etc/$entry" "/etc/$entry")
    done
    # The system's files that name its users, its owner or its network.
    for entry in /etc/shadow /etc/gshadow /etc/subuid /etc/subgid /etc/mailname /etc/resolv.conf; do
        [ -f "$entry" ] && [ ! -L "$entry" ] && BWRAP+=(--ro-bind /dev/null "$entry")
    done
    # /bin, /lib and friends: links into /usr on a merged system, folders otherwise.
    for entry in /bin /sbin /lib /lib32 /lib64 /libx32; do
        if [ -L "$entry" ]; then
            BWRAP+=(--symlink "$(readlink "$entry")" "$entry")
        elif [ -d "$entry" ]; then
            BWRAP+=(--ro-bind "$entry" "$entry")
        fi
    done
    BWRAP+=(--proc /proc --dev /dev --size $((1 << 20)) --tmpfs /dev/shm --remount-ro /dev)
    case "$kit/" in
    /usr/*) ;;
    *) BWRAP_AFTER+=(--ro-bind "$kit" "$kit") ;;
    esac
    BWRAP_AFTER+=(--remount-ro / --clearenv --setenv PATH /usr/local/bin:/usr/bin:/bin --setenv HOME /work
        --setenv TMPDIR /tmp --setenv LANG C.UTF-8)
}

# sandbox_check: whether a sandbox starts here; if not, says why and how to
# allow it, and returns 1.
sandbox_check() {
    if ! command -v bwrap >/dev/null 2>&1; then
        cat >&2 <<'TEXT'
vantrel-grade: cannot sandbox the submissions: bubblewrap (bwrap) is not installed.
Install it with: sudo apt install bubblewrap
TEXT
        return 1
    fi
    local why
    if why=$("${SANDBOX_USER[@]}" "${BWRAP[@]}" --size $((1 << 20)) --tmpfs /work \
        --size $((1 << 20)) --tmpfs /tmp "${BWRAP_AFTER[@]}" --chdir /work -- \
        bash "$INSIDE" --time 10 -- true 4>/dev/null 2>&1); then
        return 0
    fi
    cat >&2 <<TEXT
vantrel-grade: cannot sandbox the submissions: bubblewrap could not start a sandbox:
    ${why:-(no message)}
It needs unprivileged user namespaces, which this system does not allow. To allow them:
  - on Debian, or where the setting exists:  sudo sysctl -w kernel.unprivileged_userns_clone=1
  - where user.max_user_namespaces is 0:   sudo sysctl -w user.max_user_namespaces=15000
  - on Ubuntu 23.10 and later (AppArmor):   sudo sysctl -w kernel.apparmor_restrict_unprivileged_userns=0
  - in a container: start it with --security-opt seccomp=unconfined (Docker), or grade
    on the host
(add the setting to /etc/sysctl.d/ to keep it after a restart). Or grade without a
sandbox with --no-sandbox: every program then runs with your rights, and can read or
delete your files; only do that for programs you trust.
TEXT
    return 1
}

# run_step DIR STEP INPUT_TAR FOLDER_BYTES FILE_BYTES WALL [inside.sh options] -- COMMAND...
# Runs one step: in a sandbox whose private folders (/work, its working
# folder, and /tmp) hold FOLDER_BYTES each, or with --no-sandbox in a
# private folder of its own. The command's output (standard output and
# error together) goes to DIR/STEP.log, at most OUTPUT_BYTES of it; the
# files it exports to DIR/STEP.tar; how it ended to DIR/STEP.facts.
# FILE_BYTES is the largest file anything in the step may write; WALL the
# seconds after which it is stopped from outside if inside.sh has not
# stopped it (a backstop: inside.sh applies the time limit itself).
run_step() {
    local dir=$1 step=$2 input=$3 folder=$4 file=$5 wall=$6
    shift 6
    local start=$EPOCHREALTIME runner status
    if $SANDBOX; then
        runner=("${SANDBOX_USER[@]}" "${BWRAP[@]}" --size "$folder" --tmpfs /work
            --size "$folder" --tmpfs /tmp "${BWRAP_AFTER[@]}" --chdir /work --
            bash "$INSIDE" --whole-sandbox)
    else
        local private="$WORK/private-$(basename "$dir")-$step"
        rm -rf "$private" && mkdir -p "$private/tmp"
        # A session of its own, as in a sandbox: no terminal to read or type
        # into, and (where the kernel groups sessions) the same share of the
        # processors as a sandbox gets.
        runner=(setsid env -C "$private" HOME="$private" TMPDIR="$private/tmp" bash "$INSIDE")
    fi
    # Fds 3, 4 and 5 are pipes, not files: a process in the sandbox can read
    # where another's open files are, and these would name the results folder.
    local exported noted given exporter noter
    exec {exported}> >(exec head -c $((2 * folder)) >"$dir/$step.tar")
    exporter=$!
    exec {noted}> >(exec head -c 4096 >"$dir/$step.notes")
    noter=$!
    exec {given}< <(exec cat -- "$input")
    (
        ulimit -f $((file / 1024))
        exec timeout -s KILL "$wall" "${runner[@]}" "$@"
    ) </dev/null 2>&1 3>&"$exported" 4>&"$noted" 5<&"$given" {exported}>&- {noted}>&- {given}<&- |
        head -c "$OUTPUT_BYTES" >"$dir/$step.log"
    status=${PIPESTATUS[0]}
    exec {exported}>&- {noted}>&- {given}<&-
    wait "$exporter" "$noter" 2>/dev/null
    $SANDBOX || rm -rf "$private"
    {
        # What inside.sh reported, in the form it writes, and nothing else.
        grep -E '^(status|limit|tasks|cpu)=[0-9a-z.]{1,20}$' "$dir/$step.notes" | head -n 4
        if [ "$status" -eq 137 ] && ! grep -q '^status=' "$dir/$step.notes"; then
            printf 'status=137\nlimit=time\n' # stopped by the backstop
        fi
        local took=$((${EPOCHREALTIME//[.,]/} - ${start//[.,]/}))
        printf 'seconds=%d.%03d\n' $((took / 1000000)) $((took % 1000000 / 1000))
        [ "$(stat -c %s "$dir/$step.log")" -ge "$OUTPUT_BYTES" ] && echo output_capped=1
    } >"$dir/$step.facts"
    rm -f "$dir/$step.notes"
}

# unpack TAR DEST NAME...: takes the named files out of an archive a sandbox
# made, into the folder DEST under their base names, keeping only regular
# files (a sandbox could have sent links or devices under those names).
unpack() {
    local tar=$1 dest=$2 name
    shift 2
    [ -s "$tar" ] || return 0
    local scratch="$dest/.unpack"
    rm -rf "$scratch" && mkdir -p "$scratch"
    tar -x -f "$tar" -C "$scratch" --no-same-owner --no-same-permissions "$@" 2>/dev/null
    for name in "$@"; do
        if [ -f "$scratch/$name" ] && [ ! -L "$scratch/$name" ]; then
            mv "$scratch/$name" "$dest/$(basename "$name")"
        fi
    done
    rm -rf "$scratch"
}
