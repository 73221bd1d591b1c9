/* A program of the tests that a launch starts: it writes its working folder
 * and its arguments, one a line, into "args.txt" in its working folder. */
#include <stdio.h>
#include <unistd.h>

int main(int argc, char** argv) {
    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd)) return 1;
    FILE* f = fopen("args.part", "w");
    if (!f) return 1;
    fprintf(f, "%s\n", cwd);
    for (int i = 1; i < argc; ++i) fprintf(f, "%s\n", argv[i]);
    fclose(f);
    return rename("args.part", "args.txt") == 0 ? 0 : 1;
}
