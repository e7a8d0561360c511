# The figures of the file in tests/cli/figures_test.cpp (groups A, B and C on whole weeks),
# from the survival package. Run: Rscript figures_file.R > figures_file.out
library(survival)
d <- data.frame(g = c(rep(1, 8), rep(2, 8)),
  week = c(1, 2, 3, 4, 61, 61, 61, 61, seq(2, 16, 2)),
  status = c(1, 1, 1, 1, 0, 0, 0, 0, rep(1, 8)))
fit <- survfit(Surv(week, status) ~ g, data = d, conf.type = "log")
print(quantile(fit, 0.5))
summary(fit)
s <- summary(coxph(Surv(week, status) ~ factor(g), data = d, ties = "efron"))
print(s$conf.int, digits = 10); print(s$coefficients, digits = 10)
f2 <- survfit(Surv(week, status) ~ 1, data = d[d$g == 2, ], conf.type = "log")
cat(sprintf("%.17g %.17g %.17g %.17g\n", f2$surv[5], f2$surv[5] * f2$std.err[5], f2$lower[5], f2$upper[5]))
d3 <- rbind(d, data.frame(g = 3, week = 5:12, status = 0))
f0 <- survfit(Surv(week, status) ~ 1, data = d3, conf.type = "log")
print(quantile(f0, 0.5))
