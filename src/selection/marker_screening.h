// Task 1: screening with the diagnostic marker for the major Fhb resistance
// gene. Plants must carry the resistance allele twice to stay; lines, being
// homozygous, stay if they carry it at all.
#pragma once

#include <vector>

#include "driver/population.h"
#include "textio/console.h"

namespace plotwright {

// The number of entries with Kept = 1.
int CountKept(const std::vector<int>& Kept);

// The entries actually genotyped, and so charged: kept entries whose two
// founder parents differ at the gene. Crosses whose parents agree cannot
// segregate there and are screened free of charge.
int CountScreenedEntries(const Population& population);

// Drops every kept entry without the wanted genotype, prints the number
// still kept, and stores it in `KeptCount`.
void ScreenForFhbGene(Console& console, int LinesMade, Population& population, int& KeptCount);

}  // namespace plotwright
