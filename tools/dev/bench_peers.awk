# Tables of the peer comparison (tools/dev/bench.sh, bench_peers) from lines
# "PROGRAM SCENE WALL_MS CPU_MS", one per program, scene and round: medians
# over the rounds, and Vantrel's ratios to the others (below 1: faster).

function median(list,    n, values, i, j, t) {
    n = split(list, values, " ")
    for (i = 2; i <= n; i++)
        for (j = i; j > 1 && values[j - 1] + 0 > values[j] + 0; j--) {
            t = values[j]; values[j] = values[j - 1]; values[j - 1] = t
        }
    return n % 2 ? values[(n + 1) / 2] : (values[n / 2] + values[n / 2 + 1]) / 2
}

{ wall[$1, $2] = wall[$1, $2] " " $3; cpu[$1, $2] = cpu[$1, $2] " " $4 }

function row(scene, label, program, times,    v, s, p) {
    v = median(times["vantrel", scene]); s = median(times["sfml", scene])
    p = median(times["pygame", scene])
    printf "| %s | %.2f | %.2f | %.2f | %.2f %s | %.2f %s |\n", label, v, s, p,
        v / s, v <= s ? "(at least as fast)" : "(slower)",
        v / p, v <= p ? "(at least as fast)" : "(slower)"
}

function variants(scene, label, times) {
    printf "| %s | %.2f | %.2f | %.2f |\n", label, median(times["vantrel", scene]),
        median(times["vantrel-opengl", scene]), median(times["vantrel-glframes", scene])
}

function rates(scene, label,    v, o) {
    v = median(wall["vantrel", scene]); o = median(wall["vantrel-opengl", scene])
    printf "| %s | %.0f | %.0f |\n", label, 1000 / v, 1000 / o
}

END {
    split("lines discs text rectangles sprites empty spirograph life", scenes, " ")
    split("2,000 one-pixel lines|1,000 filled discs, radius 8|100 text labels, 16 pt|" \
          "2,000 filled 10 x 10 rectangles|1,000 turned 32 x 32 sprites|empty frame|" \
          "a spirograph of 24,000 segments|Game of Life, 19,200 squares", labels, "|")
    printf "Wall time, ms per frame (median of %d rounds of %d frames):\n\n", rounds, frames
    printf "| Scene (800 x 600) | Vantrel | SFML | pygame | Vantrel / SFML | Vantrel / pygame |\n"
    printf "|---|---|---|---|---|---|\n"
    for (i = 1; i <= 6; i++) row(scenes[i], labels[i], "", wall)
    printf "\nCPU time of the whole process (every thread), ms per frame (medians):\n\n"
    printf "| Scene | Vantrel | SFML | pygame | Vantrel / SFML | Vantrel / pygame |\n"
    printf "|---|---|---|---|---|---|\n"
    for (i = 1; i <= 6; i++) row(scenes[i], labels[i], "", cpu)
    printf "\nVantrel as it chooses by itself, with SDL's OpenGL renderer (SDL_RENDER_DRIVER=opengl,\n"
    printf "what drew before), and with the software renderer's frames shown through OpenGL\n"
    printf "(SDL_FRAMEBUFFER_ACCELERATION=1) rather than X11's framebuffer. Wall time, ms (medians):\n\n"
    printf "| Scene | Vantrel | OpenGL renderer | frames through OpenGL |\n|---|---|---|---|\n"
    for (i = 1; i <= 8; i++) variants(scenes[i], labels[i], wall)
    variants("setup", "set-up (initWorld, with the renderer probe)", wall)
    printf "\nThe same, CPU time, ms per frame (medians):\n\n"
    printf "| Scene | Vantrel | OpenGL renderer | frames through OpenGL |\n|---|---|---|---|\n"
    for (i = 1; i <= 8; i++) variants(scenes[i], labels[i], cpu)
    printf "\nThe learners' programs as frame rates (frames a second, unpaced; medians):\n\n"
    printf "| Program | Vantrel | OpenGL renderer |\n|---|---|---|\n"
    rates("spirograph", labels[7]); rates("life", labels[8])
}
