# Pairwise log-rank statistics of the data sets in tests/stats/group_tests_test.cpp (built by
# tests/survival/case_builder.h), from the survival package's survdiff (rho = 0) on whole-week times.
# Run: Rscript pairwise_logrank.R > pairwise_logrank.out
library(survival)

cases <- function(group, deaths, censored) {
  data.frame(group = group, week = c(deaths, censored),
             status = c(rep(1, length(deaths)), rep(0, length(censored))))
}

three_groups <- rbind(
  cases(1, c(1, 2, 2, 3, 5, 8, 8, 12), c(4, 10, 15)),
  cases(2, c(3, 6, 9, 9, 14, 20), c(2, 8, 12, 18, 25, 25)),
  cases(3, c(10, 22, 30), c(5, 12, 16, 28, 35, 40, 40, 41)))

heavy_ties <- rbind(
  cases(1, c(0, 0, 0, 1, 1, 4, 4, 4, 4), c(1, 1)),
  cases(2, c(0, 1, 1, 1, 4), c(4, 4, 4, 6, 6)))

long_follow_up <- rbind(
  cases(1, c(30, 45, 60, 60, 120, 200, 310, 400, 520, 700), c(80, 150, 260, 600, 900, 1500)),
  cases(2, c(10, 12, 25, 40, 40, 41, 90, 95, 130, 260, 261), c(5, 50, 300, 1000, 2080)))

# Weeks after the end of the X range do not count: a case seen beyond week `last` is
# equivalent to one censored just after it.
within_range <- function(d, last) {
  beyond <- d$week > last
  d$week[beyond] <- last + 1
  d$status[beyond] <- 0
  d
}

report <- function(name, d, a, b) {
  s <- survdiff(Surv(week, status) ~ group, data = subset(d, group %in% c(a, b)), rho = 0)
  cat(sprintf("%s %d-%d chisq %.15g p %.15g\n", name, a, b, s$chisq,
              pchisq(s$chisq, 1, lower.tail = FALSE)))
}

for (p in list(c(1, 2), c(1, 3), c(2, 3))) report("three_groups", three_groups, p[1], p[2])
for (p in list(c(1, 2), c(1, 3), c(2, 3))) report("three_groups_to_week_10", within_range(three_groups, 10), p[1], p[2])
report("heavy_ties", heavy_ties, 1, 2)
report("long_follow_up", long_follow_up, 1, 2)
report("long_follow_up_to_week_260", within_range(long_follow_up, 260), 1, 2)

# The overall statistic over all groups, sum of (O - E)^2 / E, from survdiff's observed and
# expected deaths.
overall <- function(name, d) {
  s <- survdiff(Surv(week, status) ~ group, data = d, rho = 0)
  x <- sum((s$obs - s$exp)^2 / s$exp)
  df <- length(s$obs) - 1
  cat(sprintf("%s overall x %.15g df %d p %.15g\n", name, x, df, pchisq(x, df, lower.tail = FALSE)))
}

overall("three_groups", three_groups)
overall("long_follow_up", long_follow_up)
overall("long_follow_up_to_week_260", within_range(long_follow_up, 260))
