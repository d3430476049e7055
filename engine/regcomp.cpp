// The regular-expression compiler's outline: refuse an empty pattern, emit the program
// (regemit.cpp, which runs the parser of regparse.cpp), then analyse it for the matcher
// (reganalyse.cpp). A refused pattern still gives a program, without code, that says why.

#include "engine/RegCompiler.h"
#include "engine/RegError.h"
#include "engine/RegProgram.h"

RegProgram regcomp(const char* pattern, bool caseSensitive) {
    RegProgram prog;
    prog.caseSensitive = caseSensitive;
    auto failWith = [&](int code) {
        prog.valid = false;
        prog.program.clear();
        prog.compileError = regErrorText(code);
        return prog;
    };
    if (pattern == nullptr || *pattern == '\0') return failWith(REG_ERR_COMP_NULL);

    int flags = 0;
    if (int code = regcompiler::emit(pattern, prog, flags)) return failWith(code);
    regcompiler::optimise(prog, flags);
    regcompiler::analyse(prog);
    prog.valid = true;
    return prog;
}
