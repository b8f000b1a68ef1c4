// Lazily loaded BLAS: every CBLAS function is a jump through a table. At
// first the table holds a stub that loads OpenBLAS (vemlorLoadBlas in
// LazyBlas.cpp) and then takes the jump; from then on the jump goes straight
// into OpenBLAS. Loading OpenBLAS costs more than the rest of the program's
// start (thousands of symbol lookups and a thread pool), and most sessions
// never multiply a matrix.
//
// The executable exports these symbols, so GSL's own calls of the CBLAS
// functions land here as well, before the reference CBLAS GSL comes with.
// x86-64 System V calling convention.

#define BLAS_SYMBOL(name, index)                                                                   \
    .globl name;                                                                                   \
    .type name, @function;                                                                         \
    name:                                                                                          \
    jmp *vemlorBlasTargets + 8 * index(%rip);                                                      \
    .size name, . - name;

    .text
#include "BlasSymbols.def"
#undef BLAS_SYMBOL

// The first call of function `index`: r11 carries the index (it is no
// argument register), every argument register is kept across the load.
#define BLAS_SYMBOL(name, index)                                                                   \
    vemlorBlasStub##index:                                                                         \
    movl $index, %r11d;                                                                            \
    jmp vemlorBlasResolve;

#include "BlasSymbols.def"
#undef BLAS_SYMBOL

    .type vemlorBlasResolve, @function
vemlorBlasResolve:
    pushq %rbp
    movq %rsp, %rbp
    subq $208, %rsp
    movq %rdi, 0(%rsp)
    movq %rsi, 8(%rsp)
    movq %rdx, 16(%rsp)
    movq %rcx, 24(%rsp)
    movq %r8, 32(%rsp)
    movq %r9, 40(%rsp)
    movq %rax, 48(%rsp)
    movq %r11, 56(%rsp)
    movdqu %xmm0, 64(%rsp)
    movdqu %xmm1, 80(%rsp)
    movdqu %xmm2, 96(%rsp)
    movdqu %xmm3, 112(%rsp)
    movdqu %xmm4, 128(%rsp)
    movdqu %xmm5, 144(%rsp)
    movdqu %xmm6, 160(%rsp)
    movdqu %xmm7, 176(%rsp)
    call vemlorLoadBlas@PLT
    movq 0(%rsp), %rdi
    movq 8(%rsp), %rsi
    movq 16(%rsp), %rdx
    movq 24(%rsp), %rcx
    movq 32(%rsp), %r8
    movq 40(%rsp), %r9
    movq 48(%rsp), %rax
    movq 56(%rsp), %r11
    movdqu 64(%rsp), %xmm0
    movdqu 80(%rsp), %xmm1
    movdqu 96(%rsp), %xmm2
    movdqu 112(%rsp), %xmm3
    movdqu 128(%rsp), %xmm4
    movdqu 144(%rsp), %xmm5
    movdqu 160(%rsp), %xmm6
    movdqu 176(%rsp), %xmm7
    leave
    leaq vemlorBlasTargets(%rip), %r10
    jmp *(%r10, %r11, 8)
    .size vemlorBlasResolve, . - vemlorBlasResolve

    .data
    .balign 8
    .globl vemlorBlasTargets
vemlorBlasTargets:
#define BLAS_SYMBOL(name, index) .quad vemlorBlasStub##index;
#include "BlasSymbols.def"
#undef BLAS_SYMBOL

    .section .note.GNU-stack, "", @progbits
