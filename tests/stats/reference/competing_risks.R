# Cumulative incidence, Gray's test and Fine-Gray ratios of the data sets in
# tests/stats/competing_risks_test.cpp, from survival (multi-state survfit) and cmprsk
# (cuminc, crr) on one row per case. Status 1: death of interest, 2: competing death, 0: censored.
# Run: Rscript competing_risks.R > competing_risks.out
library(survival)
library(cmprsk)

# Rows of (week, interest, competing, censored) counts per group.
counts <- function(group, ...) {
  m <- matrix(c(...), ncol = 4, byrow = TRUE)
  data.frame(group = group, week = m[, 1], d1 = m[, 2], d2 = m[, 3], c = m[, 4])
}

# R's time is the week + 1: crr reads the censoring estimate at time 0 after that time's
# censorings (its left limits are taken as time x (1 - 1e-14)), which counts a week-0
# censored case as gone before a week-0 competing death. One week later every week is alike.
cases <- function(rows) {
  n <- rows$d1 + rows$d2 + rows$c
  data.frame(group = rep(rep(rows$group, 3), c(rows$d1, rows$d2, rows$c)),
             week = rep(rep(rows$week, 3), c(rows$d1, rows$d2, rows$c)),
             status = rep(rep(c(1, 2, 0), each = nrow(rows)), c(rows$d1, rows$d2, rows$c)))
}

# Cases seen after week `last` count as censored in it.
within_range <- function(d, last) {
  beyond <- d$week > last
  d$week[beyond] <- last
  d$status[beyond] <- 0
  d
}

mixed <- cases(rbind(
  counts(1, 0,1,0,1, 2,1,1,0, 5,2,1,1, 8,0,1,0, 13,1,0,2, 20,1,1,1, 40,0,0,1, 60,2,0,0,
            100,1,1,1, 150,0,1,0, 200,1,0,1, 260,1,0,0, 270,0,1,1, 300,1,0,2),
  counts(2, 0,0,1,0, 2,2,0,1, 5,1,2,0, 7,1,0,1, 13,0,2,1, 20,2,1,0, 33,1,0,1, 60,0,1,1,
            90,1,1,0, 120,2,0,1, 180,0,0,2),
  counts(3, 1,0,1,0, 5,0,1,1, 13,0,2,0, 30,0,1,2, 60,0,1,0, 100,0,0,3)))

separated <- cases(rbind(
  counts(1, 1,2,0,0, 3,1,0,3),
  counts(2, 1,0,1,1, 2,0,0,1, 6,1,0,0, 9,2,1,1)))

no_competing <- cases(rbind(
  counts(1, 0,1,0,1, 2,2,0,0, 4,1,0,2, 9,1,0,0, 15,2,0,1),
  counts(2, 1,1,0,0, 2,1,0,1, 6,3,0,1, 12,1,0,2)))

incidence <- function(name, d, group, weeks) {
  g <- d[d$group == group, ]
  fit <- survfit(Surv(week + 1, factor(status, 0:2)) ~ 1, data = g, conf.type = "log-log")
  naive <- survfit(Surv(week + 1, status == 1) ~ 1, data = g)
  for (w in weeks) {
    i <- match(w + 1, fit$time)
    j <- match(w + 1, naive$time)
    cat(sprintf("%s cif group %d week %d F %.17g se %.17g lower %.17g upper %.17g naive %.17g\n",
                name, group, w, fit$pstate[i, 2], fit$std.err[i, 2], fit$lower[i, 2], fit$upper[i, 2],
                1 - naive$surv[j]))
  }
}

gray <- function(name, d, groups) {
  g <- d[d$group %in% groups, ]
  t <- cuminc(g$week + 1, g$status, g$group)$Tests
  cat(sprintf("%s gray %s stat %.17g p %.17g df %d\n", name, paste(groups, collapse = "-"),
              t["1", "stat"], t["1", "pv"], t["1", "df"]))
}

fine_gray <- function(name, d, a, b) {
  g <- d[d$group %in% c(a, b), ]
  x <- as.numeric(g$group == b)
  f <- crr(g$week + 1, g$status, x, gtol = 1e-12, maxiter = 100)
  # Where crr's line search gives up short of the root, one more Newton step from its
  # coefficient, evaluated by crr itself (maxiter = 0), reaches it.
  if (abs(f$score) > 1e-12 && abs(f$coef) < 20)
    f <- crr(g$week + 1, g$status, x, gtol = 1e-12, maxiter = 0, init = f$coef + f$score / f$inf[1, 1])
  se <- sqrt(f$var[1, 1])
  cat(sprintf("%s crr %d-%d coef %.17g se %.17g hr %.17g lower %.17g upper %.17g p %.17g score %.3g\n",
              name, a, b, f$coef, se, exp(f$coef), exp(f$coef - qnorm(0.975) * se),
              exp(f$coef + qnorm(0.975) * se), 2 * pnorm(-abs(f$coef / se)), f$score))
}

for (w in c(0, 5, 60, 260, 300)) incidence("mixed", mixed, 1, w)
for (w in c(2, 5, 120, 180)) incidence("mixed", mixed, 2, w)
for (w in c(5, 100)) incidence("mixed", mixed, 3, w)
gray("mixed", mixed, 1:3)
for (p in list(1:2, c(1, 3), 2:3)) gray("mixed", mixed, p)
gray("mixed_to_week_13", within_range(mixed, 13), 1:3)
gray("mixed_to_week_13", within_range(mixed, 13), 1:2)
fine_gray("mixed", mixed, 1, 2)
fine_gray("mixed_to_week_13", within_range(mixed, 13), 1, 2)
# Group 3 has no death of interest: the ratio runs off to 0.
fine_gray("mixed", mixed, 1, 3)
# Group 2's deaths of interest all come after group 1 has left: no finite ratio either.
fine_gray("separated", separated, 1, 2)
for (w in c(0, 2, 15)) incidence("no_competing", no_competing, 1, w)
