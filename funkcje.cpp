#include "funkcje.h"

#include <cstdio>
#include <cstdlib>

void push(node **top, std::int32_t value)
{
    auto *n = static_cast<node *>(std::malloc(sizeof(node)));
    if (n == nullptr) {
        std::puts("Blad: Brak pamieci!\n");
        return;
    }
    *n = node{value, *top};
    *top = n;
}

std::int32_t pop(node **top)
{
    node *old = *top;
    std::int32_t value = old->value;
    *top = old->next;
    std::free(old);
    return value;
}

int count(node *const *top, int limit)
{
    int n = 0;
    for (const node *p = *top; p != nullptr && n < limit; p = p->next)
        ++n;
    return n;
}

void showall(node *const *top)
{
    for (const node *p = *top; p != nullptr; p = p->next)
        std::printf("%d ", p->value);
}
