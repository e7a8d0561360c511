# Kaplan-Meier estimates, medians and Cox hazard ratios of the data sets in
# tests/survival/case_builder.h, from the survival package on whole-week times:
# survfit (conf.type "log") with quantile(fit, 0.5), and coxph (ties = "efron") per pair.
# The lines are the rows of the tables in tests/survival/km_estimates_test.cpp and
# tests/stats/hazard_ratio_test.cpp.
# Run: Rscript km_cox.R > km_cox.out
library(survival)

cases <- function(group, deaths, censored = c()) {
  data.frame(group = rep(group, length(deaths) + length(censored)), week = c(deaths, censored),
             status = c(rep(1, length(deaths)), rep(0, length(censored))))
}

half_stretches <- rbind(
  cases(1, c(2, 2, 9), c(5)),      # 0.5 from week 2 to the death in week 9
  cases(2, c(1, 3), c(3, 8)),      # 3/4 x 2/3 = 0.5 from week 3, no later death: last week 8
  cases(3, c(4), c(6)))            # 0.5 from week 4 to the last observation, week 6
no_death <- rbind(cases(1, c(3, 5, 5, 9, 12), c(7, 15)), cases(2, c(), c(4, 8, 8, 20)))
heavy_ties <- rbind(
  cases(1, c(0, 0, 0, 1, 1, 4, 4, 4, 4), c(1, 1)),
  cases(2, c(0, 1, 1, 1, 4), c(4, 4, 4, 6, 6)))
deaths_first <- rbind(cases(1, c(1, 2, 3), c(5, 6)), cases(2, c(1, 1, 2), c(4)))
one_case <- rbind(cases(1, c(7)), cases(2, c(2, 5, 7, 9, 11), c(6, 14)))
# Every death while both groups are at risk is group 1's; group 2's come after group 1 ends.
separated <- rbind(cases(1, c(1, 2)), cases(2, c(5, 6), c(10)))
long_follow_up <- rbind(
  cases(1, c(30, 45, 60, 60, 120, 200, 310, 400, 520, 700), c(80, 150, 260, 600, 900, 1500)),
  cases(2, c(10, 12, 25, 40, 40, 41, 90, 95, 130, 260, 261, 2080), c(5, 50, 300, 1000, 2080)))
twenty <- do.call(rbind, lapply(1:20, function(g) {
  cases(g, (g * 37 + (1:(3 + g %% 5)) * 53) %% 400, (g * 11 + (1:(2 + g %% 3)) * 71) %% 450)
}))

num <- function(x) ifelse(is.na(x), "kNone", sprintf("%.17g", x))

km <- function(name, d, group) {
  s <- if (group == 0) d else d[d$group == group, ]
  fit <- survfit(Surv(week, status) ~ 1, data = s, conf.type = "log")
  for (i in seq_along(fit$time)) {
    cat(sprintf("    {\"%s\", %d, %d, %d, %s, %s, %s, %s},\n", name, group, fit$time[i], fit$n.risk[i],
                num(fit$surv[i]), num(fit$surv[i] * fit$std.err[i]), num(fit$lower[i]), num(fit$upper[i])))
  }
  q <- quantile(fit, 0.5)
  cat(sprintf("    // median %s %d: {%s, %s, %s}\n", name, group, num(q$quantile), num(q$lower), num(q$upper)))
}

cox <- function(name, d, a, b, last = 2080) {
  s <- d[d$group %in% c(a, b), ]
  s$status[s$week > last] <- 0
  s$x <- as.numeric(s$group == b)
  warned <- ""
  fit <- withCallingHandlers(coxph(Surv(week, status) ~ x, data = s, ties = "efron"),
                             warning = function(w) { warned <<- conditionMessage(w); invokeRestart("muffleWarning") })
  co <- summary(fit)$coefficients
  ci <- summary(fit)$conf.int
  cat(sprintf("    {\"%s\", %d, %d, %d, %s, %s, %s, %s},%s\n", name, a, b, last, num(co[1, "exp(coef)"]),
              num(ci[1, "lower .95"]), num(ci[1, "upper .95"]), num(co[1, "Pr(>|z|)"]),
              if (warned == "") "" else paste(" // R warns:", gsub("\n", " ", warned))))
}

cat("Kaplan-Meier: name, group, week, n.risk, surv, surv x std.err, lower, upper\n")
for (g in 1:3) km("half_stretches", half_stretches, g)
for (g in 1:2) km("no_death", no_death, g)
for (g in 0:2) km("heavy_ties", heavy_ties, g)
for (g in 1:2) km("deaths_first", deaths_first, g)
for (g in 1:2) km("one_case", one_case, g)
for (g in 1:2) km("long_follow_up", long_follow_up, g)
for (g in c(1, 7, 20)) km("twenty", twenty, g)

cat("Cox, Efron ties: name, a, b, last week, hazard ratio, lower, upper, Wald p\n")
cox("half_stretches", half_stretches, 1, 2)
cox("half_stretches", half_stretches, 1, 3)
cox("half_stretches", half_stretches, 2, 3)
cox("no_death", no_death, 1, 2)
cox("heavy_ties", heavy_ties, 1, 2)
cox("deaths_first", deaths_first, 1, 2)
cox("one_case", one_case, 1, 2)
cox("separated", separated, 1, 2)
cox("long_follow_up", long_follow_up, 1, 2)
cox("long_follow_up", long_follow_up, 1, 2, 260)
for (p in list(c(1, 2), c(1, 20), c(7, 13), c(19, 20), c(4, 9))) cox("twenty", twenty, p[1], p[2])
