// The number stack: a chain of heap nodes, handled through the address of its top pointer.
#pragma once

#include <climits>
#include <cstdint>

struct node {
    std::int32_t value;
    node *next;
};

// Adds a number on top; when no memory can be had it says so and leaves the stack as it was.
void push(node **top, std::int32_t value);
// Takes the top number off; the stack must not be empty.
std::int32_t pop(node **top);
// Counts the numbers, but stops at `limit`, so that a check costs nothing on a deep stack.
int count(node *const *top, int limit = INT_MAX);
// Writes every number as "%d ", from the top down.
void showall(node *const *top);
