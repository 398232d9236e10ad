# Tables of the peer comparison (tools/bench.sh, bench_peers) from lines
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
    printf "| %s | %.2f | %.2f | %.2f | %.2f |\n", label, median(times["vantrel", scene]),
        median(times["vantrel-software", scene]), median(times["vantrel-heap", scene]),
        median(times["vantrel-lines", scene])
}

END {
    split("lines discs text rectangles sprites empty", scenes, " ")
    split("2,000 one-pixel lines|1,000 filled discs, radius 8|100 text labels, 16 pt|" \
          "2,000 filled 10 x 10 rectangles|1,000 turned 32 x 32 sprites|empty frame", labels, "|")
    printf "Wall time, ms per frame (median of %d rounds of %d frames):\n\n", rounds, frames
    printf "| Scene (800 x 600) | Vantrel | SFML | pygame | Vantrel / SFML | Vantrel / pygame |\n"
    printf "|---|---|---|---|---|---|\n"
    for (i = 1; i <= 6; i++) row(scenes[i], labels[i], "", wall)
    printf "\nCPU time of the whole process (every thread), ms per frame (medians):\n\n"
    printf "| Scene | Vantrel | SFML | pygame | Vantrel / SFML | Vantrel / pygame |\n"
    printf "|---|---|---|---|---|---|\n"
    for (i = 1; i <= 6; i++) row(scenes[i], labels[i], "", cpu)
    printf "\nVantrel as it is, and with settings made outside the program: SDL's software\n"
    printf "renderer and X11 framebuffer (SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0),\n"
    printf "glibc keeping freed memory (MALLOC_TRIM_THRESHOLD_=268435456), SDL's line method 2\n"
    printf "(SDL_RENDER_LINE_METHOD=2, which changes pixels). Wall time, ms per frame (medians):\n\n"
    printf "| Scene | Vantrel | software renderer | heap kept | line method 2 |\n|---|---|---|---|---|\n"
    for (i = 1; i <= 6; i++) variants(scenes[i], labels[i], wall)
    printf "\nThe same, CPU time, ms per frame (medians):\n\n"
    printf "| Scene | Vantrel | software renderer | heap kept | line method 2 |\n|---|---|---|---|---|\n"
    for (i = 1; i <= 6; i++) variants(scenes[i], labels[i], cpu)
}
