// Memory that the module can't have, on demand, for as long as the guard
// lives. Allocations the heap can serve from what it holds already may still
// succeed; one that needs fresh memory fails.
// - Linux: every free range of the address space is reserved (nothing is
//   committed, so the machine loses nothing).
// - Windows: the module's imports of the C runtime's allocators answer null.
//   Reserving the address space there is no option: Wine keeps a byte per
//   reserved page.
// - Under the sanitizers, whose allocator and bookkeeping need address space
//   of their own: the module's slots for the C allocators (and nothrow new)
//   answer null, as on Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <cstring>
#else
#include <link.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <new>
#endif

namespace orv::test {

#ifdef _WIN32

class ModuleAllocationsFail {
   public:
    explicit ModuleAllocationsFail(const std::string& modulePath) {
        auto* base = reinterpret_cast<uint8_t*>(GetModuleHandleA(modulePath.c_str()));
        if (base == nullptr) return;
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name != 0; ++d) {
            if (_stricmp(reinterpret_cast<const char*>(base + d->Name), "msvcrt.dll") != 0) continue;
            auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
            for (; names->u1.AddressOfData != 0; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
                const char* name = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
                if (std::strcmp(name, "malloc") == 0) patch(slots, reinterpret_cast<ULONG_PTR>(&no_malloc));
                if (std::strcmp(name, "calloc") == 0) patch(slots, reinterpret_cast<ULONG_PTR>(&no_calloc));
                if (std::strcmp(name, "realloc") == 0) patch(slots, reinterpret_cast<ULONG_PTR>(&no_realloc));
            }
        }
    }
    ~ModuleAllocationsFail() {
        for (auto [slot, old] : patched_) write(slot, old);
    }
    ModuleAllocationsFail(const ModuleAllocationsFail&) = delete;
    ModuleAllocationsFail& operator=(const ModuleAllocationsFail&) = delete;

    bool active() const { return patched_.size() == 3; }

   private:
    static void* no_malloc(size_t) { return nullptr; }
    static void* no_calloc(size_t, size_t) { return nullptr; }
    static void* no_realloc(void*, size_t) { return nullptr; }
    static void write(IMAGE_THUNK_DATA* slot, ULONG_PTR value) {
        DWORD old = 0;
        VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old);
        slot->u1.Function = value;
        VirtualProtect(slot, sizeof *slot, old, &old);
    }
    void patch(IMAGE_THUNK_DATA* slot, ULONG_PTR value) {
        patched_.emplace_back(slot, slot->u1.Function);
        write(slot, value);
    }
    std::vector<std::pair<IMAGE_THUNK_DATA*, ULONG_PTR>> patched_;
};

#elif defined(ORV_SANITIZE)

class ModuleAllocationsFail {
   public:
    explicit ModuleAllocationsFail(const std::string& modulePath) : path_(modulePath) {
        dl_iterate_phdr(&visit, this);
    }
    ~ModuleAllocationsFail() {
        for (auto [slot, old] : patched_) *slot = old;
    }
    ModuleAllocationsFail(const ModuleAllocationsFail&) = delete;
    ModuleAllocationsFail& operator=(const ModuleAllocationsFail&) = delete;

    bool active() const { return patched_.size() >= 2; }

   private:
    static void* no_malloc(size_t) { return nullptr; }
    static void* no_calloc(size_t, size_t) { return nullptr; }
    static void* no_realloc(void*, size_t) { return nullptr; }
    static void* no_new(size_t, const std::nothrow_t&) noexcept { return nullptr; }

    static void* replacement(const char* name) {
        if (std::strcmp(name, "malloc") == 0) return reinterpret_cast<void*>(&no_malloc);
        if (std::strcmp(name, "calloc") == 0) return reinterpret_cast<void*>(&no_calloc);
        if (std::strcmp(name, "realloc") == 0) return reinterpret_cast<void*>(&no_realloc);
        if (std::strcmp(name, "_ZnwmRKSt9nothrow_t") == 0) return reinterpret_cast<void*>(&no_new);
        return nullptr;
    }

    // The module's relocations that fill a slot with a symbol's address.
    static int visit(dl_phdr_info* info, size_t, void* self) {
        auto& me = *static_cast<ModuleAllocationsFail*>(self);
        const std::string name = info->dlpi_name != nullptr ? info->dlpi_name : "";
        if (name.empty() || name != me.path_) return 0;
        const ElfW(Dyn)* dyn = nullptr;
        for (int i = 0; i < info->dlpi_phnum; ++i)
            if (info->dlpi_phdr[i].p_type == PT_DYNAMIC)
                dyn = reinterpret_cast<const ElfW(Dyn)*>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr);
        if (dyn == nullptr) return 1;
        // The loader has made these absolute, but for an address it left as it was.
        const auto at = [&](ElfW(Addr) p) { return p < info->dlpi_addr ? p + info->dlpi_addr : p; };
        const ElfW(Sym)* symbols = nullptr;
        const char* strings = nullptr;
        const ElfW(Rela)* tables[2] = {};
        size_t sizes[2] = {};
        for (; dyn->d_tag != DT_NULL; ++dyn) {
            if (dyn->d_tag == DT_SYMTAB) symbols = reinterpret_cast<const ElfW(Sym)*>(at(dyn->d_un.d_ptr));
            if (dyn->d_tag == DT_STRTAB) strings = reinterpret_cast<const char*>(at(dyn->d_un.d_ptr));
            if (dyn->d_tag == DT_JMPREL) tables[0] = reinterpret_cast<const ElfW(Rela)*>(at(dyn->d_un.d_ptr));
            if (dyn->d_tag == DT_PLTRELSZ) sizes[0] = dyn->d_un.d_val;
            if (dyn->d_tag == DT_RELA) tables[1] = reinterpret_cast<const ElfW(Rela)*>(at(dyn->d_un.d_ptr));
            if (dyn->d_tag == DT_RELASZ) sizes[1] = dyn->d_un.d_val;
        }
        if (symbols == nullptr || strings == nullptr) return 1;
        const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
        for (int t = 0; t < 2; ++t)
            for (size_t k = 0; tables[t] != nullptr && k < sizes[t] / sizeof(ElfW(Rela)); ++k) {
                const ElfW(Rela)& r = tables[t][k];
                const auto type = ELF64_R_TYPE(r.r_info);
                if (type != R_X86_64_JUMP_SLOT && type != R_X86_64_GLOB_DAT) continue;
                void* with = replacement(strings + symbols[ELF64_R_SYM(r.r_info)].st_name);
                if (with == nullptr) continue;
                auto** slot = reinterpret_cast<void**>(info->dlpi_addr + r.r_offset);
                // After relocation the slots may be read-only (RELRO).
                const uintptr_t first = reinterpret_cast<uintptr_t>(slot) & ~(page - 1);
                mprotect(reinterpret_cast<void*>(first), page, PROT_READ | PROT_WRITE);
                me.patched_.emplace_back(slot, *slot);
                *slot = with;
            }
        return 1;
    }

    std::string path_;
    std::vector<std::pair<void**, void*>> patched_;
};

#else

class ModuleAllocationsFail {
   public:
    explicit ModuleAllocationsFail(const std::string&) {
        blocks_.reserve(1 << 14);
        for (size_t size = size_t{1} << 42; size >= (size_t{1} << 16); size >>= 1)
            while (blocks_.size() < blocks_.capacity()) {
                void* p = mmap(nullptr, size, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
                if (p == MAP_FAILED) break;
                blocks_.emplace_back(p, size);
                reserved_ += size;
            }
    }
    ~ModuleAllocationsFail() {
        for (auto [p, size] : blocks_) munmap(p, size);
    }
    ModuleAllocationsFail(const ModuleAllocationsFail&) = delete;
    ModuleAllocationsFail& operator=(const ModuleAllocationsFail&) = delete;

    bool active() const { return reserved_ > (size_t{1} << 32); }

   private:
    std::vector<std::pair<void*, size_t>> blocks_;
    size_t reserved_ = 0;
};

#endif

}  // namespace orv::test
