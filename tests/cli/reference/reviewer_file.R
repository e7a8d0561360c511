# The reviewer's figures of the file in tests/cli/reviewer_test.cpp, from the survival
# package: groups A, B (all deaths early: its ratio against A fails the proportional-hazards
# check), C (no death before week 55) and D (one case), whole weeks.
# Run: Rscript reviewer_file.R > reviewer_file.out
library(survival)
d <- rbind(
  data.frame(g = "A", week = c(3, 8, 15, 20, 31, 40, 12, 25, 45, 60), status = c(rep(1, 6), rep(0, 4))),
  data.frame(g = "B", week = c(1, 2, 3, 4, 5, 6, 7, 60, 70, 80), status = c(rep(1, 7), rep(0, 3))),
  data.frame(g = "C", week = c(55, 70, 90, 20, 30, 60, 80, 100), status = c(rep(1, 3), rep(0, 5))),
  data.frame(g = "D", week = 12, status = 1))
# The tests and ratios run over weeks 0..L: later weeks are cut off, a death of week L counts.
cut <- function(x, L) transform(x, status = status * (week <= L), week = pmin(week, L))
figures <- function(shown, L, ref) {
  x <- cut(d[d$g %in% shown, ], L)
  s <- survdiff(Surv(week, status) ~ g, data = x)
  cat(sprintf("L %d: log-rank chisq %.15g df %d p %.15g\n", L, s$chisq, length(s$n) - 1,
              pchisq(s$chisq, length(s$n) - 1, lower.tail = FALSE)))
  for (g in setdiff(shown, ref)) {
    y <- x[x$g %in% c(ref, g), ]
    y$grp <- factor(y$g, levels = c(ref, g))
    fit <- coxph(Surv(week, status) ~ grp, data = y, ties = "efron")
    z <- cox.zph(fit, transform = "km")
    cat(sprintf("  %s vs %s: hr %.10g lower %.10g upper %.10g p %.10g ph %.10g phP %.10g\n", g, ref,
                exp(coef(fit)), summary(fit)$conf.int[3], summary(fit)$conf.int[4],
                summary(fit)$coefficients[5], z$table[1, 1], z$table[1, 3]))
  }
  m <- sapply(shown, function(g) summary(survfit(Surv(week, status) ~ 1, data = d[d$g == g, ]), rmean = L)$table[c("rmean", "se(rmean)")])
  for (i in seq_along(shown)) cat(sprintf("  %s: rmst tau %d %.15g se %.15g\n", shown[i], L, m[1, i], m[2, i]))
  for (i in 2:length(shown)) {
    diff <- m[1, i] - m[1, 1]; se <- sqrt(m[2, i]^2 + m[2, 1]^2)
    cat(sprintf("  %s - %s: rmst difference %.15g p %.15g\n", shown[i], shown[1], diff, 2 * pnorm(-abs(diff) / se)))
  }
}
figures(c("A", "B", "C", "D"), 104, "A")
figures(c("A", "C", "D"), 104, "A")
figures(c("A", "B", "C"), 52, "A")
for (g in c("A", "B", "C", "D")) {
  x <- d[d$g == g, ]
  f <- survfit(Surv(week, status) ~ 1, data = x, conf.type = "log")
  r <- survfit(Surv(week, 1 - status) ~ 1, data = x, conf.type = "log")
  cat(g, "events", sum(x$status), "median", unlist(quantile(f, 0.5)), "follow-up", unlist(quantile(r, 0.5)), "\n")
}
r <- survfit(Surv(week, 1 - status) ~ 1, data = d, conf.type = "log")
cat("all: follow-up", unlist(quantile(r, 0.5)), "\n")
