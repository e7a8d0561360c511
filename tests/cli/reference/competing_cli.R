# The competing-risks figures of the file in tests/cli/competing_test.cpp (groups A, B and C;
# deaths of 癌 the events of interest, of 心疾患 censored in the survival figures and competing
# here), from survival (multi-state survfit) and cmprsk (cuminc, crr).
# Status 1: death of 癌, 2: death of 心疾患, 0: alive. Run: Rscript competing_cli.R > competing_cli.out
library(survival)
library(cmprsk)

rows <- function(group, weeks, status) data.frame(group = group, week = weeks, status = status)
d <- rbind(
  rows(1, c(1, 3, 3, 5, 8, 10, 10, 15, 20, 30, 40, 40, 265, 270), c(1, 1, 2, 0, 2, 1, 1, 0, 2, 1, 0, 0, 1, 0)),
  rows(2, c(2, 4, 6, 6, 9, 12, 18, 25, 25, 35), c(2, 1, 1, 0, 2, 1, 0, 1, 2, 0)),
  rows(3, c(1, 5, 7, 11, 14, 22, 28, 33, 45), c(2, 2, 1, 0, 2, 1, 0, 2, 0)))

# As in tests/stats/reference/competing_risks.R, R's time is the week + 1 (crr's reading of
# the censoring estimate at time 0). The tests and ratios run over the X range, weeks 0 to
# 260: A's death in week 265 and its case seen in week 270 count as censored in week 260.
in_range <- d
beyond <- in_range$week > 260
in_range$week[beyond] <- 260
in_range$status[beyond] <- 0

incidence <- function(label, g, weeks) {
  fit <- survfit(Surv(week + 1, factor(status, 0:2)) ~ 1, data = g, conf.type = "log-log")
  naive <- survfit(Surv(week + 1, status == 1) ~ 1, data = g)
  for (w in weeks) {
    s <- summary(fit, times = w + 1)
    n <- summary(naive, times = w + 1)
    cat(sprintf("%s week %d F %.17g se %.17g lower %.17g upper %.17g naive %.17g\n", label, w,
                s$pstate[1, 2], s$std.err[1, 2], s$lower[1, 2], s$upper[1, 2], 1 - n$surv))
  }
}
incidence("pooled", d, c(10, 260))
incidence("A", d[d$group == 1, ], c(3, 260))
incidence("B", d[d$group == 2, ], c(25))
incidence("C", d[d$group == 3, ], c(7))

t <- cuminc(in_range$week + 1, in_range$status, in_range$group)$Tests
cat(sprintf("gray all stat %.17g p %.17g df %d\n", t["1", "stat"], t["1", "pv"], t["1", "df"]))
for (p in list(c(1, 2), c(1, 3), c(2, 3))) {
  g <- in_range[in_range$group %in% p, ]
  t <- cuminc(g$week + 1, g$status, g$group)$Tests
  x <- as.numeric(g$group == p[2])
  f <- crr(g$week + 1, g$status, x, gtol = 1e-12, maxiter = 100)
  se <- sqrt(f$var[1, 1])
  cat(sprintf("pair %d-%d gray %.17g p %.17g shr %.17g lower %.17g upper %.17g p %.17g\n", p[1], p[2],
              t["1", "stat"], t["1", "pv"], exp(f$coef), exp(f$coef - qnorm(0.975) * se),
              exp(f$coef + qnorm(0.975) * se), 2 * pnorm(-abs(f$coef / se))))
}
