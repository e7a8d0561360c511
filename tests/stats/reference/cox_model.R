# The Cox models of cox_model_test.cpp, by R survival: Rscript cox_model.R > cox_model.out
# The data sets are those of the test, row for row: group, week, status (1 death), then covariates.
library(survival)
mixed <- read.csv(header = FALSE, col.names = c("group", "week", "status", "age", "stage"), na.strings = "", text = "
B,0,1,69,I
A,19,1,57,II
A,4,1,70,I
B,12,0,,I
A,22,1,51,I
A,1,1,50,I
B,3,1,49,III
A,7,1,66,III
B,0,1,73,III
B,3,1,69,III
B,4,1,51,II
C,0,1,54,I
C,3,1,51,II
A,5,1,60,III
A,0,1,70,III
C,3,1,56,II
C,22,0,42,I
B,7,1,,III
C,8,1,56,III
C,26,1,46,II
A,1,1,69,III
A,3,1,57,II
B,3,1,44,I
C,11,1,73,II
C,9,1,58,II
A,1,1,70,
A,2,1,59,III
A,11,1,59,I
C,8,0,37,III
B,14,1,50,III
B,3,1,56,III
A,10,1,63,I
B,1,1,56,III
B,0,1,57,III
C,10,1,50,II
A,28,1,70,I
B,18,1,56,I
B,1,1,60,III
A,6,0,72,I
C,10,0,56,II
C,2,1,67,I
C,9,1,50,III
C,12,1,63,I
C,1,1,78,I
B,8,1,56,II
C,33,0,30,III
C,0,1,85,II
A,4,1,58,II
B,12,1,45,I
C,12,0,45,I
B,24,1,63,II
C,1,1,44,II
B,2,1,40,III
A,11,1,74,I
C,6,1,71,II
A,5,1,75,III
A,12,1,65,I
B,18,0,45,I
A,25,0,60,I
B,2,1,68,III
")
strat <- read.csv(header = FALSE, col.names = c("group", "week", "status", "x", "s"), text = "
B,6,1,4.3,s2
A,8,1,0.9,s3
A,1,1,0.5,s2
A,13,0,3.0,s2
A,1,1,3.1,s3
A,1,1,4.4,s3
B,7,1,2.2,s1
B,0,1,2.5,s3
B,4,0,2.0,s3
B,3,0,1.6,s1
A,7,0,2.8,s1
B,3,0,0.3,s1
A,8,1,1.0,s1
B,9,1,2.1,s3
B,2,1,1.7,s2
A,1,1,0.7,s3
B,6,0,4.0,s1
B,9,0,2.5,s3
B,3,0,0.6,s2
B,3,0,4.3,s3
A,4,0,0.9,s3
A,3,0,4.9,s1
B,0,1,4.2,s2
A,0,1,2.9,s1
B,10,0,3.1,s1
A,7,0,4.3,s1
A,5,0,4.1,s1
A,12,0,3.4,s2
A,2,1,2.1,s1
B,3,1,1.2,s3
B,4,0,1.5,s1
A,12,0,1.1,s3
A,4,0,1.4,s1
B,0,1,2.1,s1
B,4,0,1.8,s3
B,13,0,0.7,s2
A,8,0,2.9,s1
B,4,0,4.8,s1
B,1,1,0.3,s2
A,14,0,2.3,s2
A,8,1,4.0,s2
B,3,0,4.5,s2
B,9,0,2.9,s3
A,2,1,3.0,s1
B,7,1,4.4,s3
B,0,1,2.2,s3
A,6,0,1.6,s1
A,10,0,2.5,s3
B,4,1,4.5,s2
A,10,0,2.6,s2
B,6,1,4.5,s2
A,9,0,3.2,s1
A,3,1,2.9,s2
B,7,0,1.8,s1
A,2,1,0.6,s2
B,5,1,1.9,s3
B,2,1,1.6,s1
A,7,0,3.4,s2
A,3,0,3.2,s2
B,11,1,1.2,s1
")
mixed$stage <- factor(mixed$stage, levels = unique(na.omit(mixed$stage)))
show <- function(name, fit) {
  s <- summary(fit)
  cat(name, "\n")
  print(cbind(coef = coef(fit), se = sqrt(diag(vcov(fit)))), digits = 15)
  cat("n", fit$n, "events", fit$nevent, "\n")
  # summary() rounds the Wald statistic to two decimals: it is formed here in full.
  wald <- drop(t(coef(fit)) %*% solve(vcov(fit), coef(fit)))
  cat(sprintf("logtest %.12f waldtest %.12f sctest %.12f concordance %.12f\n",
              s$logtest["test"], wald, s$sctest["test"], s$concordance[1]))
  cat(sprintf("p logtest %.12g waldtest %.12g sctest %.12g\n",
              s$logtest["pvalue"], s$waldtest["pvalue"], s$sctest["pvalue"]))
}
show("mixed: group + age + stage",
     coxph(Surv(week, status) ~ group + age + stage, data = mixed, ties = "efron"))
show("strata: group + x + strata(s)",
     coxph(Surv(week, status) ~ group + x + strata(s), data = strat, ties = "efron"))
# The window ends at week 20: later weeks censored at it. Reference group B, stage III.
win <- mixed
win$status[win$week > 20] <- 0
win$week <- pmin(win$week, 20)
win$group <- relevel(factor(win$group), ref = "B")
win$stage <- relevel(win$stage, ref = "III")
show("window 20, reference B and III: group + stage",
     coxph(Surv(week, status) ~ group + stage, data = win, ties = "efron"))
