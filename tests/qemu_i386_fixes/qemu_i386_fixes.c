/* Preloaded into every program of the emulated 32-bit Wine (the i386 root's /etc/ld.so.preload)
 * to work around three defects of qemu-i386 7.2 user-mode emulation that make Wine unusable:
 *
 *  1. mmap with MAP_FIXED_NOREPLACE treats the address as a hint. Wine then walks the address
 *     space in 64 KiB steps to reserve it, about a minute per process start.
 *  2. The signal context's trap number is always -1, so Wine turns every access violation and
 *     guard-page hit into an illegal-instruction crash.
 *  3. One descriptor table serves all threads, so the thread-local storage entries that
 *     set_thread_area installs (glibc's %gs, Wine's %fs) overwrite each other once a second
 *     thread exists. Wine is made to take per-thread LDT entries for %fs, and every glibc thread
 *     moves its %gs to an LDT entry of its own, below the first entry Wine uses.
 *
 * Built without any library: gcc -m32 -nostdlib -shared -fPIC. The few glibc functions used are
 * bound when the program starts. */

typedef unsigned int size_t;

#define RTLD_NEXT ((void *)-1)
#define MAP_FAILED ((void *)-1)
#define MAP_FIXED_NOREPLACE 0x100000
#define EEXIST 17
#define ENOSYS 38
#define SA_SIGINFO 4
#define SIGILL 4
#define SIGTRAP 5
#define SIGBUS 7
#define SIGFPE 8
#define SIGSEGV 11
#define SIG_BLOCK 0
#define SIG_SETMASK 2

#define SYS_munmap 91
#define SYS_modify_ldt 123
#define SYS_sched_yield 158
#define SYS_rt_sigprocmask 175
#define SYS_set_thread_area 243

/* x86 trap numbers as Linux reports them in the signal context. */
#define TRAP_DIVIDE 0
#define TRAP_DEBUG 1
#define TRAP_BREAKPOINT 3
#define TRAP_INVALID_OPCODE 6
#define TRAP_PROTECTION 13
#define TRAP_PAGE_FAULT 14
#define TRAP_FPU 16
#define TRAP_ALIGNMENT 17
#define REG_TRAPNO 12

#define SI_KERNEL 0x80
#define BUS_ADRALN 1
#define FPE_INTDIV 1
#define FPE_INTOVF 2
#define TRAP_TRACE 2

extern void *dlsym(void *handle, const char *name);
extern int *__errno_location(void);
extern int pthread_key_create(unsigned int *key, void (*destructor)(void *));
extern int pthread_setspecific(unsigned int key, const void *value);
extern void *malloc(size_t size);
extern void free(void *pointer);

static long raw_syscall(long number, long a, long b, long c, long d)
{
    long result;
    /* %ebx holds the GOT pointer in position-independent code: swap the first argument in. */
    __asm__ volatile("xchg %%ebx, %%edi\n\tint $0x80\n\txchg %%ebx, %%edi"
                     : "=a"(result)
                     : "0"(number), "D"(a), "c"(b), "d"(c), "S"(d)
                     : "memory");
    return result;
}

static void *next_symbol(const char *name)
{
    return dlsym(RTLD_NEXT, name);
}

/* ---- 1. MAP_FIXED_NOREPLACE ------------------------------------------------------------- */

static void *refuse_elsewhere(void *wanted, void *result, size_t length, int flags)
{
    if ((flags & MAP_FIXED_NOREPLACE) && result != MAP_FAILED && result != wanted) {
        raw_syscall(SYS_munmap, (long)result, (long)length, 0, 0);
        *__errno_location() = EEXIST;
        return MAP_FAILED;
    }
    return result;
}

void *mmap(void *address, size_t length, int protection, int flags, int fd, long offset)
{
    static void *(*next)(void *, size_t, int, int, int, long);
    if (!next)
        next = next_symbol("mmap");
    return refuse_elsewhere(address, next(address, length, protection, flags, fd, offset), length, flags);
}

void *mmap64(void *address, size_t length, int protection, int flags, int fd, long long offset)
{
    static void *(*next)(void *, size_t, int, int, int, long long);
    if (!next)
        next = next_symbol("mmap64");
    return refuse_elsewhere(address, next(address, length, protection, flags, fd, offset), length, flags);
}

/* ---- 2. The trap number of fault signals ------------------------------------------------ */

typedef void (*info_handler)(int, void *, void *);

struct signal_action { /* glibc's struct sigaction on i386 */
    info_handler handler;
    unsigned long mask[32];
    int flags;
    void (*restorer)(void);
};

struct signal_info_head {
    int signo;
    int error;
    int code;
};

struct user_context_head { /* ucontext_t up to the general registers */
    unsigned long flags;
    void *link;
    void *stack_pointer;
    int stack_flags;
    size_t stack_size;
    int registers[19];
};

static info_handler fault_handlers[32];

static int is_fault_signal(int signal)
{
    return signal == SIGSEGV || signal == SIGBUS || signal == SIGILL || signal == SIGFPE || signal == SIGTRAP;
}

static int trap_number(int signal, int code)
{
    switch (signal) {
    case SIGSEGV:
        return code == SI_KERNEL ? TRAP_PROTECTION : TRAP_PAGE_FAULT;
    case SIGBUS:
        return code == BUS_ADRALN ? TRAP_ALIGNMENT : TRAP_PAGE_FAULT;
    case SIGILL:
        return TRAP_INVALID_OPCODE;
    case SIGFPE:
        return code == FPE_INTDIV || code == FPE_INTOVF ? TRAP_DIVIDE : TRAP_FPU;
    default:
        return code == TRAP_TRACE ? TRAP_DEBUG : TRAP_BREAKPOINT;
    }
}

static void fault_trampoline(int signal, void *info, void *context)
{
    struct user_context_head *user_context = context;
    if (user_context->registers[REG_TRAPNO] == -1)
        user_context->registers[REG_TRAPNO] = trap_number(signal, ((struct signal_info_head *)info)->code);
    fault_handlers[signal](signal, info, context);
}

int sigaction(int signal, const struct signal_action *action, struct signal_action *old)
{
    static int (*next)(int, const struct signal_action *, struct signal_action *);
    if (!next)
        next = next_symbol("sigaction");
    if (!is_fault_signal(signal))
        return next(signal, action, old);
    info_handler previous = fault_handlers[signal];
    struct signal_action wrapped;
    if (action && (action->flags & SA_SIGINFO) && (unsigned long)action->handler > 1) {
        wrapped = *action;
        wrapped.handler = fault_trampoline;
        fault_handlers[signal] = action->handler;
        action = &wrapped;
    }
    int result = next(signal, action, old);
    if (result == 0 && old && old->handler == fault_trampoline)
        old->handler = previous;
    return result;
}

/* ---- 3. Thread-local storage selectors -------------------------------------------------- */

struct user_desc {
    unsigned int entry_number;
    unsigned long base_addr;
    unsigned int limit;
    unsigned int seg_32bit : 1;
    unsigned int contents : 2;
    unsigned int read_exec_only : 1;
    unsigned int limit_in_pages : 1;
    unsigned int seg_not_present : 1;
    unsigned int useable : 1;
};

long syscall(long number, long a, long b, long c, long d, long e, long f)
{
    static long (*next)(long, long, long, long, long, long, long);
    if (!next)
        next = next_symbol("syscall");
    /* Wine asks for a shared %fs entry first and takes per-thread LDT entries when refused. */
    if (number == SYS_set_thread_area && ((struct user_desc *)a)->entry_number == (unsigned int)-1) {
        *__errno_location() = ENOSYS;
        return -1;
    }
    return next(number, a, b, c, d, e, f);
}

/* Wine leaves the LDT entries below 512 to the C library when %gs is an LDT selector at its
 * start; entry 0 stays unused. */
#define GS_ENTRIES 512
static unsigned int used_entries[GS_ENTRIES / 32] = {1};
static unsigned short gdt_gs; /* glibc's own selector, which new threads are cloned with */
static unsigned int entry_key;
static volatile int create_lock;

static int take_entry(void)
{
    for (int word = 0; word < GS_ENTRIES / 32; ++word) {
        unsigned int bits = __atomic_load_n(&used_entries[word], __ATOMIC_ACQUIRE);
        while (bits != ~0u) {
            unsigned int bit = __builtin_ctz(~bits);
            if (__atomic_compare_exchange_n(&used_entries[word], &bits, bits | (1u << bit), 0, __ATOMIC_ACQ_REL,
                                            __ATOMIC_ACQUIRE))
                return word * 32 + bit;
        }
    }
    return -1;
}

static void release_entry(void *value)
{
    int entry = (int)value - 1;
    __atomic_fetch_and(&used_entries[entry / 32], ~(1u << (entry % 32)), __ATOMIC_RELEASE);
}

static unsigned short current_gs(void)
{
    unsigned short selector;
    __asm__ volatile("mov %%gs, %0" : "=r"(selector));
    return selector;
}

static void load_gs(unsigned short selector)
{
    __asm__ volatile("mov %0, %%gs" : : "r"(selector) : "memory");
}

static unsigned long thread_block(void)
{
    unsigned long self;
    __asm__ volatile("mov %%gs:0, %0" : "=r"(self));
    return self;
}

static struct user_desc tls_descriptor(unsigned int entry, unsigned long base)
{
    struct user_desc descriptor = {entry, base, 0xfffff, 1, 0, 0, 1, 0, 1};
    return descriptor;
}

/* Points this thread's %gs at an LDT entry of its own; gives the entry + 1, or 0. */
static int move_gs_to_ldt(void)
{
    int entry = take_entry();
    if (entry < 0)
        return 0;
    struct user_desc descriptor = tls_descriptor(entry, thread_block());
    if (raw_syscall(SYS_modify_ldt, 0x11, (long)&descriptor, sizeof descriptor, 0) != 0) {
        release_entry((void *)(entry + 1));
        return 0;
    }
    load_gs((unsigned short)(entry << 3 | 7));
    return entry + 1;
}

__attribute__((constructor)) static void move_main_thread(void)
{
    gdt_gs = current_gs();
    if (!gdt_gs || (gdt_gs & 4))
        return;
    pthread_key_create(&entry_key, release_entry);
    move_gs_to_ldt();
}

struct thread_start {
    void *(*routine)(void *);
    void *argument;
    unsigned long signal_mask[2];
};

static void *start_thread(void *pointer)
{
    struct thread_start start = *(struct thread_start *)pointer;
    int entry = move_gs_to_ldt();
    if (entry)
        pthread_setspecific(entry_key, (void *)entry);
    /* The creator blocked every signal while it cloned this thread: take its mask back. */
    raw_syscall(SYS_rt_sigprocmask, SIG_SETMASK, (long)start.signal_mask, 0, sizeof start.signal_mask);
    free(pointer);
    return start.routine(start.argument);
}

/* glibc clones a thread with the creator's %gs entry number, which must then be its own GDT entry
 * again: for the clone, the creator points that entry at itself and takes it back into %gs, with
 * signals blocked (a return from a handler would reload %gs) and one creator at a time. */
int pthread_create(void *thread, const void *attributes, void *(*routine)(void *), void *argument)
{
    static int (*next)(void *, const void *, void *(*)(void *), void *);
    if (!next)
        next = next_symbol("pthread_create");
    unsigned short own_gs = current_gs();
    if (!(own_gs & 4) || !gdt_gs)
        return next(thread, attributes, routine, argument);
    struct thread_start *start = malloc(sizeof *start);
    if (!start)
        return 11; /* EAGAIN */
    start->routine = routine;
    start->argument = argument;
    unsigned long all[2] = {~0ul, ~0ul};
    unsigned long mask[2];
    raw_syscall(SYS_rt_sigprocmask, SIG_BLOCK, (long)all, (long)mask, sizeof mask);
    start->signal_mask[0] = mask[0];
    start->signal_mask[1] = mask[1];
    while (__atomic_exchange_n(&create_lock, 1, __ATOMIC_ACQUIRE))
        raw_syscall(SYS_sched_yield, 0, 0, 0, 0);
    struct user_desc descriptor = tls_descriptor(gdt_gs >> 3, thread_block());
    raw_syscall(SYS_set_thread_area, (long)&descriptor, 0, 0, 0);
    load_gs(gdt_gs);
    int result = next(thread, attributes, start_thread, start);
    load_gs(own_gs);
    __atomic_store_n(&create_lock, 0, __ATOMIC_RELEASE);
    if (result != 0)
        free(start); /* the thread never started: nobody else has it */
    raw_syscall(SYS_rt_sigprocmask, SIG_SETMASK, (long)mask, 0, sizeof mask);
    return result;
}
