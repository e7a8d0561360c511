# The batch job's analysis done in R on the same generated file, for the README's comparison:
# read the Shift-JIS file, the weekly Kaplan-Meier estimate per group, the many-group
# log-rank test and, for each of the 190 pairs of groups, the log-rank and the
# Peto & Peto (generalized Wilcoxon) tests.
#
#   build/native/bench/write_case_file /tmp/million.csv
#   Rscript bench/r_comparison.R /tmp/million.csv
#
# Uses base R's read.csv and the survival package (Debian: r-base-core, r-cran-survival).
# Not run in CI.
suppressPackageStartupMessages(library(survival))

args <- commandArgs(trailingOnly = TRUE)
if (length(args) != 1) stop("usage: Rscript r_comparison.R FILE")

timing <- system.time({
  cases <- read.csv(args[1], header = FALSE, skip = 1, fileEncoding = "CP932", col.names = c("group", "days", "outcome", "cause"),
                    colClasses = "character", fill = TRUE, strip.white = TRUE)
  days <- suppressWarnings(as.numeric(cases$days))
  cases <- cases[!is.na(days) & cases$outcome %in% c("生存", "死亡"), ]
  cases$week <- pmin(floor(as.numeric(cases$days) / 7), 2080)
  cases$dead <- as.integer(cases$outcome == "死亡")
  cases$group <- factor(cases$group, levels = unique(cases$group))

  fit <- survfit(Surv(week, dead) ~ group, data = cases)
  overall <- survdiff(Surv(week, dead) ~ group, data = cases)
  groups <- levels(cases$group)
  pairs <- combn(length(groups), 2)
  pairwise <- apply(pairs, 2, function(p) {
    subset <- cases[cases$group %in% groups[p], ]
    subset$group <- droplevels(subset$group)
    c(logRank = survdiff(Surv(week, dead) ~ group, data = subset)$chisq,
      wilcoxon = survdiff(Surv(week, dead) ~ group, data = subset, rho = 1)$chisq)
  })
})

cat(sprintf("rows %d, groups %d, pairs %d, overall chi-square %.4f\n", nrow(cases), length(groups), ncol(pairs), overall$chisq))
cat(sprintf("elapsed %.1f s (user %.1f s, system %.1f s)\n", timing[["elapsed"]], timing[["user.self"]], timing[["sys.self"]]))
